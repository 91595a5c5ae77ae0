// What the wheel shows against what it keeps, through the window on the
// simulated wheel: previews that differ from the stored settings are marked
// beside "Save Setting" and asked about on closing; a store is read back, and
// a wheel that did not keep it is told as such, by the window and by the
// command line.
#include "support/CommandRun.h"
#include "support/WheelTest.h"

#include <QContextMenuEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>

using namespace wheeltest;

namespace {

const QString kLedsText = QStringLiteral("Notify/The wheel shows LED colours that it has not stored.");
const QString kPaddleText = QStringLiteral("Notify/The wheel shows a paddle setting that it has not stored.");
const QString kBothText =
    QStringLiteral("Notify/The wheel shows LED colours and a paddle setting that it has not stored.");

// The reports the wheel received, one word for each setting sent or read: an
// LED block by its last chunk and its marker, a read of the LED block by its
// first query; "!" in front of one the wheel refused.
QStringList wire()
{
    QStringList words;
    for (const sim::ReceivedReport &report : sim::received()) {
        const Bytes &b = report.bytes;
        QString word;
        if (report.kind == sim::ReportKind::Output && b[1] == 2)
            word = b[19] == 0xFF ? QStringLiteral("ledPreview") : QStringLiteral("ledStore");
        else if (report.kind == sim::ReportKind::FeatureSend && b[1] == 0x0A)
            word = b[3] == 0x00 ? QStringLiteral("paddlePreview") : QStringLiteral("paddleStore");
        else if (report.kind == sim::ReportKind::FeatureSend && b[1] == 0x0B && b[2] == 0)
            word = QStringLiteral("ledQuery");
        else if (report.kind == sim::ReportKind::FeatureSend && b[1] == 0x0B && b[2] == 0x0A)
            word = QStringLiteral("paddleQuery");
        if (!word.isEmpty())
            words << (report.accepted ? word : QLatin1Char('!') + word);
    }
    return words;
}

// Whether the wheel shows what it stores: the same levels, the same paddle value.
bool showsStored()
{
    const vorla::LedBlock shown = sim::shownLeds(), stored = sim::storedLeds();
    return std::equal(shown.begin(), shown.begin() + 39, stored.begin()) && sim::shownPaddle() == sim::storedPaddle();
}

} // namespace

class UnsavedTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Session> s;
    QTemporaryDir dir;

    QPushButton *button(const char *name) const { return s->child<QPushButton>(name); }
    QSlider *bite() const { return s->child<QSlider>("hsBite"); }
    QWidget *banner() const { return s->child<QWidget>("disconnectedBanner"); }

    // "leds", "paddle", "leds paddle" or "": the marks shown. A mark shown
    // also describes its page's "Save Setting" to a screen reader.
    QString marks() const
    {
        QStringList shown;
        for (const char *name : {"lbUnsaved", "lbUnsavedP"}) {
            auto *mark = s->child<QLabel>(name);
            auto *save = button(qstrcmp(name, "lbUnsaved") ? "pbSaveP" : "pbSave");
            if (mark->isHidden() != save->accessibleDescription().isEmpty()
                || mark->accessibleName() != QLatin1String("Unsaved changes"))
                shown << QStringLiteral("(not told to a screen reader)");
            if (!mark->isHidden())
                shown << (qstrcmp(name, "lbUnsaved") ? QStringLiteral("paddle") : QStringLiteral("leds"));
        }
        return shown.join(QLatin1Char(' '));
    }

    // A profile of red LEDs, imported through the LED page's menu.
    void importRed()
    {
        QByteArray json = R"({"format": 1, "paddle": {"combined": true, "bitePoint": 60}, "leds": [)";
        for (int slot = 0; slot < 26; ++slot)
            json += QByteArray(slot ? ", " : "") + R"({"slot": )" + QByteArray::number(slot) + R"(, "color": "#FF0000"})";
        json += "]}";
        QFile file(dir.filePath(QStringLiteral("red.json")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(json) == json.size());
        file.close();
        s->answerer.chooseMenuEntry(QStringLiteral("Import colours…"));
        s->answerer.chooseFile(file.fileName());
        QWidget *page = s->child<QWidget>("page2");
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), page->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(page, &event);
    }

    void act(const QString &action)
    {
        if (action == QLatin1String("pick") || action == QLatin1String("pick as stored")) {
            // The factory colour of pbB1 is (0, 126, 255): (0, 127, 250) is at its levels.
            s->answerer.chooseColor(action == QLatin1String("pick") ? QColor(255, 0, 0) : QColor(0, 127, 250));
            button("pbB1")->click();
        } else if (action == QLatin1String("slide")) {
            bite()->setValue(70);
        } else if (action == QLatin1String("slide back")) {
            bite()->setValue(sim::kDefaultPaddle);
        } else if (action == QLatin1String("import")) {
            importRed();
        } else if (action == QLatin1String("save leds")) {
            button("pbSave")->click();
        } else if (action == QLatin1String("save paddle")) {
            button("pbSaveP")->click();
        } else if (action == QLatin1String("unplug") || action == QLatin1String("reconnect")) {
            sim::setPresent(false);
            QTRY_VERIFY(banner()->isVisible());
            if (action == QLatin1String("reconnect")) {
                sim::setPresent(true);
                QTRY_VERIFY(!banner()->isVisible());
            }
        } else if (action == QLatin1String("forget stores")) {
            sim::setForgetStores(true);
        } else {
            QFAIL(qPrintable(action));
        }
    }

private slots:
    void init()
    {
        QVERIFY(dir.isValid());
        sim::reset();
        s.reset(new Session);
    }

    void cleanup()
    {
        s.reset();
        verifyCleanEnd();
    }

    void closing_data()
    {
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QString>("answer"); // to the box on closing: a button or a key
        QTest::addColumn<QString>("marks");  // before closing
        QTest::addColumn<QString>("box");    // "": none
        QTest::addColumn<QStringList>("sent"); // on closing
        QTest::addColumn<bool>("closed");
        QTest::addColumn<QString>("stored"); // what the wheel stores at the end, unlike the factory's

        const QStringList none;
        const QStringList pick{"pick"}, slide{"slide"}, both{"pick", "slide"};
        QTest::newRow("nothing changed") << none << "" << "" << "" << none << true << "";
        QTest::newRow("picked at the stored levels") << QStringList{"pick as stored"} << "" << "" << "" << none << true << "";
        QTest::newRow("slid and back") << QStringList{"slide", "slide back"} << "" << "" << "" << none << true << "";
        QTest::newRow("pick, Cancel") << pick << "Cancel" << "leds" << kLedsText << none << false << "";
        QTest::newRow("pick, Escape") << pick << "Escape" << "leds" << kLedsText << none << false << "";
        QTest::newRow("pick, Discard") << pick << "Discard" << "leds" << kLedsText << QStringList{"ledPreview"} << true << "";
        QTest::newRow("slide, Discard") << slide << "Discard" << "paddle" << kPaddleText << QStringList{"paddlePreview"}
                                        << true << "";
        QTest::newRow("pick and slide, Discard") << both << "Discard" << "leds paddle" << kBothText
                                                 << QStringList{"ledPreview", "paddlePreview"} << true << "";
        QTest::newRow("import, Discard") << QStringList{"import"} << "Discard" << "leds" << kLedsText
                                         << QStringList{"ledPreview"} << true << "";
        QTest::newRow("pick, Save") << pick << "Save" << "leds" << kLedsText << QStringList{"ledStore", "ledQuery"}
                                    << true << "leds";
        QTest::newRow("pick and slide, Return saves both")
            << both << "Return" << "leds paddle" << kBothText
            << QStringList{"ledStore", "ledQuery", "paddleStore", "paddleQuery"} << true << "leds paddle";
        QTest::newRow("pick, Save Setting") << QStringList{"pick", "save leds"} << "" << "" << "" << none << true << "leds";
        QTest::newRow("slide, Save Setting") << QStringList{"slide", "save paddle"} << "" << "" << "" << none << true
                                             << "paddle";
        QTest::newRow("pick and slide, LEDs saved, Discard")
            << QStringList{"pick", "slide", "save leds"} << "Discard" << "paddle" << kPaddleText
            << QStringList{"paddlePreview"} << true << "leds";
        QTest::newRow("pick, reconnect") << QStringList{"pick", "reconnect"} << "" << "" << "" << none << true << "";
        QTest::newRow("pick, unplugged") << QStringList{"pick", "unplug"} << "" << "" << "" << none << true << "";
        QTest::newRow("pick, Save, the wheel forgets: stays")
            << QStringList{"pick", "forget stores"} << "Save" << "leds" << kLedsText
            << QStringList{"ledStore", "ledQuery", "ledPreview"} << false << "";
    }

    // The actions, then the window's close button with the box answered.
    // After Save or Discard the wheel shows exactly what it stores: a Discard
    // sends the stored block and paddle value back as previews.
    void closing()
    {
        QFETCH(QStringList, actions);
        QFETCH(QString, answer);
        QFETCH(QString, marks);
        QFETCH(QString, box);
        QFETCH(QStringList, sent);
        QFETCH(bool, closed);
        QFETCH(QString, stored);
        if (!s->started())
            return;
        s->window->show();
        QVERIFY(QTest::qWaitForWindowExposed(s->window.get()));
        for (const QString &action : actions) {
            act(action);
            if (QTest::currentTestFailed())
                return;
        }
        QCOMPARE(this->marks(), marks);

        const std::map<QString, int> buttons = {
            {"Save", QMessageBox::Save}, {"Discard", QMessageBox::Discard}, {"Cancel", QMessageBox::Cancel}};
        const std::map<QString, int> keys = {{"Escape", Qt::Key_Escape}, {"Return", Qt::Key_Return}};
        s->answerer.chooseQuestionButton(buttons.count(answer) ? buttons.at(answer) : 0);
        s->answerer.chooseQuestionKey(keys.count(answer) ? keys.at(answer) : 0);
        s->answerer.clear();
        sim::clearReceived();
        button("pbClose")->click();

        QStringList boxes = box.isEmpty() ? QStringList() : QStringList{box};
        if (actions.contains(QLatin1String("forget stores")))
            boxes << QStringLiteral("Error/The wheel did not keep the LED colours. The page shows the colours it stores.");
        QCOMPARE(s->answerer.messages(), boxes);
        if (!box.isEmpty())
            QCOMPARE(s->answerer.boxes().first().kind, QLatin1String("question"));
        QCOMPARE(wire(), sent);
        QCOMPARE(s->window->isVisible(), !closed);
        if (!sent.isEmpty())
            QVERIFY(showsStored());
        if (answer == QLatin1String("Discard"))
            QCOMPARE(hex(sim::shownLeds()).mid(0, 53 * 3), hex(sim::storedLeds()).mid(0, 53 * 3));
        QCOMPARE(sim::storedLeds() != sim::defaultLedBlock(), stored.contains(QLatin1String("leds")));
        QCOMPARE(sim::storedPaddle() != sim::kDefaultPaddle, stored.contains(QLatin1String("paddle")));
    }

    void storeCheck_data()
    {
        QTest::addColumn<QString>("via");   // "leds", "paddle": the page's Save Setting; "command line"
        QTest::addColumn<int>("failing");   // the report after the store's first that fails; 0: the wheel forgets
        QTest::addColumn<QString>("error"); // the box, or standard error
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<bool>("pageStored"); // the page shows what the wheel stores, no mark

        const QString notKept = QStringLiteral("The wheel did not keep the %1. The page shows the %2 it stores.");
        const QString noAnswer = QStringLiteral("The wheel did not answer when asked what it stores: the %1 may not be %2.");
        QTest::newRow("LED page, forgotten") << "leds" << 0 << "Error/" + notKept.arg("LED colours", "colours")
                                             << QStringList{"ledStore", "ledQuery", "ledPreview"} << true;
        QTest::newRow("paddle page, forgotten") << "paddle" << 0 << "Error/" + notKept.arg("paddle setting", "setting")
                                                << QStringList{"paddleStore", "paddleQuery", "paddlePreview"} << true;
        QTest::newRow("LED page, not read back") << "leds" << 3 << "Error/" + noAnswer.arg("LED colours", "saved")
                                                 << QStringList{"ledStore", "!ledQuery"} << false;
        QTest::newRow("paddle page, not read back") << "paddle" << 1 << "Error/" + noAnswer.arg("paddle setting", "saved")
                                                    << QStringList{"paddleStore", "!paddleQuery"} << false;
        QTest::newRow("command line, forgotten")
            << "command line" << 0 << "The wheel did not keep the LED colours: it still stores others.\n"
            << QStringList{"ledStore", "ledQuery"} << false;
        QTest::newRow("command line, LEDs not read back")
            << "command line" << 3 << noAnswer.arg("LED colours", "stored") + "\n" << QStringList{"ledStore", "!ledQuery"}
            << false;
        QTest::newRow("command line, paddle not read back")
            << "command line" << 10 << noAnswer.arg("paddle setting", "stored") + "\n"
            << QStringList{"ledStore", "ledQuery", "paddleStore", "!paddleQuery"} << false;
    }

    // A store the wheel accepts and does not keep, or whose read-back fails,
    // is a failure: in the window an error box, after which the page shows
    // what the wheel does store; on the command line status 6 and one line.
    void storeCheck()
    {
        QFETCH(QString, via);
        QFETCH(int, failing);
        QFETCH(QString, error);
        QFETCH(QStringList, sent);
        QFETCH(bool, pageStored);
        sim::setForgetStores(!failing);
        if (via == QLatin1String("command line")) {
            if (failing)
                sim::failReport(failing + 1);
            QByteArray json = R"({"format": 1, "paddle": {"combined": true, "bitePoint": 70}, "leds": [)";
            for (int slot = 0; slot < 26; ++slot)
                json += QByteArray(slot ? ", " : "") + R"({"slot": )" + QByteArray::number(slot) + R"(, "color": "#FF0000"})";
            json += "]}";
            QFile file(dir.filePath(QStringLiteral("red.json")));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(json) == json.size());
            file.close();
            const CommandRun run = runCommand({"--apply", file.fileName(), "--store"});
            QCOMPARE(run.status, 6);
            QCOMPARE(run.err, error);
            QCOMPARE(run.out, failing == 10 ? QStringLiteral("LED colours stored.\n") : QString());
            QCOMPARE(wire(), sent);
            return;
        }

        if (!s->started())
            return;
        const bool leds = via == QLatin1String("leds");
        act(leds ? "pick" : "slide");
        if (failing)
            sim::failReport(int(sim::received().size()) + (leds ? 3 : 1) + 1);
        sim::clearReceived();
        button(leds ? "pbSave" : "pbSaveP")->click();
        QCOMPARE(s->answerer.messages(), QStringList{error});
        QCOMPARE(s->answerer.boxes().last().kind, QLatin1String("critical"));
        QCOMPARE(wire(), sent);
        QCOMPARE(marks(), pageStored ? QString() : via);
        // Not read back, the store may still have been kept: here it was.
        QCOMPARE(sim::storedLeds() == sim::defaultLedBlock(), pageStored || !leds);
        QCOMPARE(sim::storedPaddle() == sim::kDefaultPaddle, pageStored || leds);
        if (pageStored)
            QVERIFY(showsStored());
        const QString factoryB1 = QStringLiteral("rgb(0,126,255)"), pickedB1 = QStringLiteral("rgb(255,0,0)");
        QVERIFY(button("pbB1")->styleSheet().contains(leds && !pageStored ? pickedB1 : factoryB1));
        QCOMPARE(bite()->value(), leds || pageStored ? int(sim::kDefaultPaddle) : 70);
    }
};

QTEST_MAIN(UnsavedTest)
#include "tst_unsaved.moc"
