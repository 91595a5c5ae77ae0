// What the wheel shows against what it keeps, through the window on the
// simulated wheel: previews that differ from the stored settings, and a paddle
// setting held on the page alone, are marked beside "Save Setting" and asked
// about on closing; a store is read back, and one the wheel did not keep is a
// failure, in the window and on the command line.
#include "support/CommandRun.h"
#include "support/WheelTest.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>

#include <map>
#include <utility>

using namespace wheeltest;

namespace {

const QString kAsk = QStringLiteral("Notify/The wheel shows %1 that it has not stored.");
const QString kLeds = kAsk.arg("LED colours"), kPaddle = kAsk.arg("a paddle setting"),
              kBoth = kAsk.arg("LED colours and a paddle setting");
// Combined mode toggled alone: the wheel still shows what it stores.
const QString kPage = QStringLiteral(
    "Notify/The paddle page holds a setting that the wheel has not stored; the wheel still shows the stored one.");
const QString kLedsAndPage = QStringLiteral("Notify/The wheel shows LED colours that it has not stored, and the paddle "
                                            "page holds a setting that the wheel has not stored.");
const QString kNotSetBack = QStringLiteral("Error/The wheel could not be set back to what it stores: it may still show "
                                           "the unsaved LED colours or paddle setting.");


// One word for each setting sent or read: an LED block by its last chunk and
// marker, a read of the block by its first query; "!" before a refused one,
// " off" after a paddle value that switches combined mode off.
QStringList wire()
{
    QStringList words;
    for (const sim::ReceivedReport &report : sim::received()) {
        const Bytes &b = report.bytes;
        const bool set = report.kind == sim::ReportKind::FeatureSend;
        QString word;
        if (report.kind == sim::ReportKind::Output && b[1] == 2)
            word = b[19] == 0xFF ? "ledPreview" : "ledStore";
        else if (set && b[1] == 0x0A)
            word = (b[3] == 0x00 ? "paddlePreview" : "paddleStore") + QString(b[2] > 100 ? " off" : "");
        else if (set && b[1] == 0x0B && (b[2] == 0 || b[2] == 0x0A))
            word = b[2] ? "paddleQuery" : "ledQuery";
        if (!word.isEmpty())
            words << (report.accepted ? word : '!' + word);
    }
    return words;
}

// Whether the wheel shows what it stores: the same levels and paddle value.
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

    // The marks shown: "leds", "paddle" (" page" when it says that only the
    // page holds the setting) or both. A shown mark is named for a screen
    // reader and describes its page's "Save Setting".
    QString marks() const
    {
        QStringList shown;
        const std::pair<const char *, const char *> pages[] = {{"lbUnsaved", "pbSave"}, {"lbUnsavedP", "pbSaveP"}};
        for (const auto &[markName, saveName] : pages) {
            auto *mark = s->child<QLabel>(markName);
            const QString description = button(saveName)->accessibleDescription();
            if (description != (mark->isHidden() ? QString() : mark->accessibleDescription())
                || mark->accessibleName() != QLatin1String("Unsaved changes"))
                shown << "(not told to a screen reader)";
            if (!mark->isHidden())
                shown << (mark->objectName().endsWith('P') ? "paddle" : "leds")
                             + QString(description.startsWith("This page holds") ? " page" : "");
        }
        return shown.join(' ');
    }

    // A profile of red LEDs and a bite point of 70.
    QString redProfile()
    {
        QByteArray json = R"({"format": 1, "paddle": {"combined": true, "bitePoint": 70}, "leds": [)";
        for (int slot = 0; slot < 26; ++slot)
            json += (slot ? ", " : "") + QByteArray(R"({"slot": )") + QByteArray::number(slot) + R"(, "color": "#FF0000"})";
        QFile file(dir.filePath(QStringLiteral("red.json")));
        return file.open(QIODevice::WriteOnly) && file.write(json + "]}") == json.size() + 2 ? file.fileName() : QString();
    }

    void act(const QString &action)
    {
        if (action.startsWith("pick")) {
            // pbB1 stores (0, 126, 255); (0, 127, 250) is at its levels.
            s->answerer.chooseColor(action == "pick" ? QColor(255, 0, 0) : QColor(0, 127, 250));
            button("pbB1")->click();
        } else if (action.startsWith("slide")) {
            bite()->setValue(action == "slide" ? 70 : sim::kDefaultPaddle);
        } else if (action == "import") {
            s->answerer.chooseMenuEntry(QStringLiteral("Import colours…"));
            s->answerer.chooseFile(redProfile());
            QWidget *page = s->child<QWidget>("page2");
            QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), page->mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(page, &event);
        } else if (action.startsWith("save")) {
            button(action == "save leds" ? "pbSave" : "pbSaveP")->click();
        } else if (action == "unplug" || action == "reconnect") {
            sim::setPresent(false);
            QTRY_VERIFY(banner()->isVisible());
            sim::setPresent(action == "reconnect");
            QTRY_COMPARE(banner()->isVisible(), action == "unplug");
        } else if (action == "forget stores") {
            sim::setForgetStores(true);
        } else if (action == "untick" || action == "tick") {
            s->child<QCheckBox>("cbPaddle")->click();
        } else if (action == "refuse the next report") {
            sim::failReport(int(sim::received().size()) + 1);
        } else if (action == "pull out at the next report") {
            sim::vanishAtReport(int(sim::received().size()) + 1);
        } else if (action.endsWith("while asked")) {
            // The question stays open until the wheel has gone (replugged: and is read afresh).
            const bool replug = action.startsWith("replug");
            s->answerer.answerQuestionsWhen([this, replug, pulled = false]() mutable {
                if (!std::exchange(pulled, true)) {
                    sim::setPresent(false);
                    sim::setPresent(replug);
                }
                return replug ? sim::openCount() == 2 && !banner()->isVisible() : banner()->isVisible();
            });
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
        QTest::addColumn<QString>("answer");   // to the box on closing: a button or a key
        QTest::addColumn<QString>("marks");    // before closing
        QTest::addColumn<QString>("box");      // "": none
        QTest::addColumn<QStringList>("sent"); // on closing
        QTest::addColumn<bool>("closed");
        QTest::addColumn<QString>("stored"); // what the wheel stores at the end unlike the factory's

        const QStringList none, pick{"pick"}, slide{"slide"}, both{"pick", "slide"};
        const QStringList ledSave{"ledStore", "ledQuery"}, bothSaved = ledSave + QStringList{"paddleStore", "paddleQuery"};
        QTest::newRow("nothing changed") << none << "" << "" << "" << none << true << "";
        QTest::newRow("picked at the stored levels") << QStringList{"pick as stored"} << "" << "" << "" << none << true << "";
        QTest::newRow("slid and back") << QStringList{"slide", "slide back"} << "" << "" << "" << none << true << "";
        QTest::newRow("pick, Cancel") << pick << "Cancel" << "leds" << kLeds << none << false << "";
        QTest::newRow("pick, Escape") << pick << "Escape" << "leds" << kLeds << none << false << "";
        QTest::newRow("pick, Discard") << pick << "Discard" << "leds" << kLeds << QStringList{"ledPreview"} << true << "";
        QTest::newRow("slide, Discard") << slide << "Discard" << "paddle" << kPaddle << QStringList{"paddlePreview"}
                                        << true << "";
        QTest::newRow("both, Discard") << both << "Discard" << "leds paddle" << kBoth
                                       << QStringList{"ledPreview", "paddlePreview"} << true << "";
        QTest::newRow("import, Discard") << QStringList{"import"} << "Discard" << "leds" << kLeds
                                         << QStringList{"ledPreview"} << true << "";
        QTest::newRow("pick, Save") << pick << "Save" << "leds" << kLeds << ledSave << true << "leds";
        QTest::newRow("both, Return saves") << both << "Return" << "leds paddle" << kBoth << bothSaved << true
                                            << "leds paddle";
        QTest::newRow("pick, Save Setting") << QStringList{"pick", "save leds"} << "" << "" << "" << none << true << "leds";
        QTest::newRow("slide, Save Setting") << QStringList{"slide", "save paddle"} << "" << "" << "" << none << true
                                             << "paddle";
        QTest::newRow("both, LEDs saved, Discard") << QStringList{"pick", "slide", "save leds"} << "Discard" << "paddle"
                                                   << kPaddle << QStringList{"paddlePreview"} << true << "leds";
        QTest::newRow("pick, reconnect") << QStringList{"pick", "reconnect"} << "" << "" << "" << none << true << "";
        QTest::newRow("pick, unplugged") << QStringList{"pick", "unplug"} << "" << "" << "" << none << true << "";
        QTest::newRow("pick, Save, the wheel forgets: stays")
            << QStringList{"pick", "forget stores"} << "Save" << "leds" << kLeds
            << QStringList{"ledStore", "ledQuery", "ledPreview"} << false << "";

        // Combined mode toggled alone sends nothing: the page holds a setting
        // that the wheel neither stores nor shows.
        const QStringList untick{"untick"};
        QTest::newRow("untick, Save stores off") << untick << "Save" << "paddle page" << kPage
                                                 << QStringList{"paddleStore off", "paddleQuery"} << true << "paddle";
        QTest::newRow("untick, Discard sends nothing") << untick << "Discard" << "paddle page" << kPage << none << true
                                                       << "";
        QTest::newRow("untick, tick back") << QStringList{"untick", "tick"} << "" << "" << "" << none << true << "";
        QTest::newRow("slide, untick, Discard") << QStringList{"slide", "untick"} << "Discard" << "paddle" << kPaddle
                                                << QStringList{"paddlePreview"} << true << "";
        QTest::newRow("pick, untick, Discard") << QStringList{"pick", "untick"} << "Discard" << "leds paddle page"
                                               << kLedsAndPage << QStringList{"ledPreview"} << true << "";

        // The answer acts on what is unsaved when it is given.
        QTest::newRow("pick, replugged while asked, Save") << QStringList{"pick", "replug while asked"} << "Save"
                                                          << "leds" << kLeds << QStringList{"ledQuery", "paddleQuery"}
                                                          << true << "";
        QTest::newRow("slide, pulled out while asked, Save") << QStringList{"slide", "unplug while asked"} << "Save"
                                                            << "paddle" << kPaddle << none << true << "";

        // Discard refused by a wheel that is there is said; one that went
        // away shows its stored settings when it comes back.
        QTest::newRow("slide, Discard refused: stays")
            << QStringList{"slide", "refuse the next report"} << "Discard" << "paddle" << kPaddle
            << QStringList{"!paddlePreview"} << false << "";
        QTest::newRow("slide, Discard as the wheel goes: closes")
            << QStringList{"slide", "pull out at the next report"} << "Discard" << "paddle" << kPaddle
            << QStringList{"!paddlePreview"} << true << "";
    }

    // The actions, then the close button with the box answered. After Save
    // or Discard the wheel shows exactly what it stores (unless it refused):
    // Discard sends the stored block and paddle value back as previews.
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
        for (const QString &action : actions)
            act(action);
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
        if (actions.contains("forget stores"))
            boxes << "Error/The wheel did not keep the LED colours. The page shows the colours it stores.";
        if (actions.contains("refuse the next report"))
            boxes << kNotSetBack;
        QCOMPARE(s->answerer.messages(), boxes);
        QCOMPARE(s->answerer.boxes().value(0).kind, box.isEmpty() ? QString() : QStringLiteral("question"));
        QCOMPARE(wire(), sent);
        QCOMPARE(s->window->isVisible(), !closed);
        QVERIFY(sent.isEmpty() || sent.first().startsWith('!') || showsStored());
        if (sent.contains("ledPreview")) // bytes 39-52 too, which a read ignores
            QCOMPARE(hex(sim::shownLeds()).left(53 * 3), hex(sim::storedLeds()).left(53 * 3));
        QCOMPARE(sim::storedLeds() != sim::defaultLedBlock(), stored.contains("leds"));
        QCOMPARE(sim::storedPaddle() != sim::kDefaultPaddle, stored.contains("paddle"));
    }

    void storeCheck_data()
    {
        QTest::addColumn<QString>("via");      // "leds", "paddle": the page's Save Setting; or the command line
        QTest::addColumn<int>("failing");      // which report after the store's first fails; 0: the wheel forgets
        QTest::addColumn<QString>("error");    // the box, or standard error
        QTest::addColumn<QStringList>("sent");

        const QString notKept = QStringLiteral("Error/The wheel did not keep the %1. The page shows the %2 it stores.");
        const QString noAnswer = QStringLiteral("The wheel did not answer when asked what it stores: the %1 may not be %2.");
        QTest::newRow("LED page, forgotten") << "leds" << 0 << notKept.arg("LED colours", "colours")
                                             << QStringList{"ledStore", "ledQuery", "ledPreview"};
        QTest::newRow("paddle page, forgotten") << "paddle" << 0 << notKept.arg("paddle setting", "setting")
                                                << QStringList{"paddleStore", "paddleQuery", "paddlePreview"};
        QTest::newRow("LED page, not read back") << "leds" << 3 << "Error/" + noAnswer.arg("LED colours", "saved")
                                                 << QStringList{"ledStore", "!ledQuery"};
        QTest::newRow("paddle page, not read back") << "paddle" << 1 << "Error/" + noAnswer.arg("paddle setting", "saved")
                                                    << QStringList{"paddleStore", "!paddleQuery"};
        QTest::newRow("command line, forgotten") << "" << 0 << "The wheel did not keep the LED colours: it still stores others.\n"
                                                 << QStringList{"ledStore", "ledQuery"};
        QTest::newRow("command line, LEDs not read back") << "" << 3 << noAnswer.arg("LED colours", "stored") + "\n"
                                                          << QStringList{"ledStore", "!ledQuery"};
        QTest::newRow("command line, paddle not read back") << "" << 10 << noAnswer.arg("paddle setting", "stored") + "\n"
                                                            << QStringList{"ledStore", "ledQuery", "paddleStore", "!paddleQuery"};
    }

    // A store the wheel does not keep, or does not read back, fails: in the
    // window with an error box, after which a forgotten store's page shows
    // what the wheel does store; on the command line with status 6.
    void storeCheck()
    {
        QFETCH(QString, via);
        QFETCH(int, failing);
        QFETCH(QString, error);
        QFETCH(QStringList, sent);
        sim::setForgetStores(!failing);
        if (via.isEmpty()) {
            if (failing)
                sim::failReport(failing + 1);
            const CommandRun run = runCommand({"--apply", redProfile(), "--store"});
            QCOMPARE(run.status, 6);
            QCOMPARE(run.err, error);
            QCOMPARE(run.out, failing == 10 ? QStringLiteral("LED colours stored.\n") : QString());
            QCOMPARE(wire(), sent);
            return;
        }

        if (!s->started())
            return;
        const bool leds = via == "leds", forgotten = !failing;
        act(leds ? "pick" : "slide");
        if (failing)
            sim::failReport(int(sim::received().size()) + failing + 1);
        sim::clearReceived();
        button(leds ? "pbSave" : "pbSaveP")->click();
        QCOMPARE(s->answerer.messages(), QStringList{error});
        QCOMPARE(s->answerer.boxes().last().kind, QLatin1String("critical"));
        QCOMPARE(wire(), sent);
        QCOMPARE(marks(), forgotten ? QString() : via);
        QVERIFY(!forgotten || showsStored());
        // Not read back, the store may still have been kept: here it was.
        QCOMPARE(sim::storedLeds() == sim::defaultLedBlock(), forgotten || !leds);
        QCOMPARE(sim::storedPaddle() == sim::kDefaultPaddle, forgotten || leds);
        const bool pickShown = leds && !forgotten, slideShown = !leds && !forgotten;
        QVERIFY(button("pbB1")->styleSheet().contains(pickShown ? "rgb(255,0,0)" : "rgb(0,126,255)"));
        QCOMPARE(bite()->value(), slideShown ? 70 : int(sim::kDefaultPaddle));
    }
};

QTEST_MAIN(UnsavedTest)
#include "tst_unsaved.moc"
