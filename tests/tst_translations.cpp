// Every text the user can see comes through the program's catalogue. The
// pseudo translation (every text of the sources bracketed and accented, made
// at build time) is installed as the user's language the way main installs a
// real one; then no page, message box or dialog of the window shows a text as
// the source wrote it, except the "No device." box, which stays English. Also:
// the shipped template lists exactly the texts of the sources and translates
// none, and the pseudo translation keeps what must stay as written.
#include "app/Translations.h"
#include "device/connection.h"
#include "i18n/PseudoText.h"
#include "support/WheelTest.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

using namespace wheeltest;

namespace {

// The pseudo catalogue is built into this test as German, standing for the
// user's language.
const QString kPseudoDirectory = QStringLiteral(":/pseudo-i18n");
const QLocale kUserLocale(QLocale::German, QLocale::Germany);

enum Scenario {
    LedsSaved,
    LedsNotSaved,
    PaddleSaved,
    PaddleNotSaved,
    NotFirmware,
    ZipArchive,
    UpgradeDone,
    UpgradeFailed,
    CloseDuringUpgrade,
    ColourPicked,
    FileChosen,
};

// The messages of a Qt Linguist file as "context / source / disambiguation",
// and how many of them carry a translation.
struct TsMessages {
    QStringList keys;
    int translated = 0;
    QString error;
};

TsMessages readTs(const QString &path)
{
    TsMessages result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = path + QStringLiteral(": ") + file.errorString();
        return result;
    }
    QXmlStreamReader xml(&file);
    QString context, source, comment;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == QLatin1String("message"))
            result.keys << context + QStringLiteral(" / ") + source + QStringLiteral(" / ") + comment;
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText();
        else if (xml.name() == QLatin1String("message"))
            source.clear(), comment.clear();
        else if (xml.name() == QLatin1String("source"))
            source = xml.readElementText();
        else if (xml.name() == QLatin1String("comment"))
            comment = xml.readElementText();
        else if (xml.name() == QLatin1String("translation"))
            result.translated += xml.readElementText(QXmlStreamReader::IncludeChildElements).isEmpty() ? 0 : 1;
    }
    if (xml.hasError())
        result.error = path + QStringLiteral(": ") + xml.errorString();
    result.keys.sort();
    return result;
}

// The texts under root (root's title included) that the user would read, or
// hear from a screen reader, as the source wrote them, as "object: text".
// The line edit's content is the user's own and the progress bar shows a
// number; their placeholder and tool tips count.
QStringList untranslatedTexts(QWidget *root, bool visibleOnly)
{
    QStringList found;
    const auto check = [&found](const QObject *object, const QString &text) {
        if (!text.isEmpty() && !pseudo::isTranslated(text))
            found << object->objectName() + QStringLiteral(": ") + text;
    };
    check(root, root->windowTitle());
    QList<QWidget *> widgets = root->findChildren<QWidget *>();
    widgets.prepend(root);
    for (QWidget *widget : widgets) {
        if (visibleOnly && !widget->isVisibleTo(root))
            continue;
        check(widget, widget->toolTip());
        check(widget, widget->statusTip());
        check(widget, widget->whatsThis());
        // An LED's button name and colour are data beside the words, like a version's digits.
        static const QRegularExpression ledData(QStringLiteral("\\b[BD]\\d+\\b|#[0-9A-F]{6}\\b"));
        check(widget, widget->accessibleName().remove(ledData));
        check(widget, widget->accessibleDescription().remove(ledData));
        if (auto *label = qobject_cast<QLabel *>(widget))
            check(label, label->text());
        else if (auto *button = qobject_cast<QAbstractButton *>(widget))
            check(button, button->text());
        else if (auto *edit = qobject_cast<QLineEdit *>(widget))
            check(edit, edit->placeholderText());
    }
    return found;
}

// What the user read in the boxes and dialogs: titles and texts, and the
// name filters of a file dialog (whose title and buttons are Qt's own).
QStringList untranslatedTexts(const QList<ModalAnswerer::Box> &boxes)
{
    QStringList found;
    for (const ModalAnswerer::Box &box : boxes) {
        const bool fileDialog = box.kind == QLatin1String("QFileDialog");
        if (!fileDialog && !pseudo::isTranslated(box.title))
            found << box.kind + QStringLiteral(" title: ") + box.title;
        // A file's name and its SHA-256 are data beside the words.
        static const QRegularExpression fileData(QStringLiteral("\\S+\\.bin\\b|\\b[0-9a-f]{64}\\b"));
        const QString text = QString(box.text).remove(fileData);
        if (box.kind != QLatin1String("QColorDialog") && !pseudo::isTranslated(text))
            found << box.kind + QStringLiteral(" text: ") + box.text;
    }
    return found;
}

} // namespace

class TranslationsTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Session> s;
    QTemporaryDir dir;
    QStringList labelTexts; // what the progress label showed, in order
    bool upgrading = false;

    VorlaUpgrade &worker() const { return s->window->upgradeWorker(); }
    QLabel *upgradeLabel() const { return s->child<QLabel>("lbUpgrade"); }
    void click(const char *name) const { s->child<QPushButton>(name)->click(); }

    // Starts a transfer of a small image. Every text the progress label
    // shows on the way is noted: at each value, after the window's own slot
    // has set it, and while it waits for the wheel to restart.
    void upgrade()
    {
        upgrading = true;
        worker().setWritingStepDuration(std::chrono::milliseconds(5));
        const auto note = [this] {
            const QString text = upgradeLabel()->text();
            if (!upgradeLabel()->isHidden() && !labelTexts.contains(text))
                labelTexts << text;
        };
        connect(&worker(), &VorlaUpgrade::progress, s->window.get(), note);
        auto *sampler = new QTimer(s->window.get());
        connect(sampler, &QTimer::timeout, s->window.get(), note);
        sampler->start(1);
        s->answerer.chooseQuestionButton(QMessageBox::Yes);
        s->child<QLineEdit>("lePath")->setText(writeImage(dir.filePath(QStringLiteral("image.bin")), 64));
        click("pbUpgrade");
    }

    // The transfer over and the wheel open again, the page idle.
    bool settled()
    {
        return QTest::qWaitFor([&] {
            return !worker().isRunning() && vorla::connection::isOpen() && upgradeLabel()->isHidden();
        }, 10000);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QVERIFY(vorla::installTranslators(*qApp, kUserLocale, kPseudoDirectory));
    }

    void init()
    {
        sim::reset();
        sim::setRebootDuration(std::chrono::milliseconds(300));
        s.reset(new Session);
        labelTexts.clear();
        upgrading = false;
    }

    void cleanup()
    {
        s.reset();
        verifyCleanEnd();
    }

    // Whatever the developer wrote later must be added to the template
    // (target vorla_update_translations) before translators can see it.
    void templateListsEveryText()
    {
        const TsMessages shipped = readTs(QStringLiteral(VORLA_TEMPLATE_TS));
        const TsMessages sources = readTs(QStringLiteral(VORLA_TEXTS_TS));
        QVERIFY2(shipped.error.isEmpty(), qPrintable(shipped.error));
        QVERIFY2(sources.error.isEmpty(), qPrintable(sources.error));
        QVERIFY(!sources.keys.isEmpty());
        QStringList differences;
        for (const QString &key : sources.keys)
            if (!shipped.keys.contains(key))
                differences << QStringLiteral("missing: ") + key;
        for (const QString &key : shipped.keys)
            if (!sources.keys.contains(key))
                differences << QStringLiteral("gone from the sources: ") + key;
        QVERIFY2(differences.isEmpty(),
                 qPrintable(differences.join(QLatin1String("; "))
                            + QStringLiteral(" (cmake --build <build> --target vorla_update_translations)")));
        QCOMPARE(shipped.translated, 0);
    }

    void pseudoKeepsWhatMustStay_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QStringList>("kept");
        QTest::newRow("plain") << "Save Setting" << QStringList{};
        QTest::newRow("punctuation only") << "..." << QStringList{"..."};
        QTest::newRow("arguments") << "%1 of %L2 (%n)" << QStringList{"%1", "%L2", "%n"};
        QTest::newRow("markup") << "<b>Firmware</b> &amp; more" << QStringList{"<b>", "</b>", "&amp;"};
        QTest::newRow("file filter") << "Firmware File (*.bin);;" << QStringList{" (*.bin);;"};
    }

    void pseudoKeepsWhatMustStay()
    {
        QFETCH(QString, source);
        QFETCH(QStringList, kept);
        const QString pseudo = pseudo::translate(source);
        QVERIFY2(pseudo::isTranslated(pseudo), qPrintable(pseudo));
        QVERIFY(pseudo != source);
        for (const QString &part : kept)
            QVERIFY2(pseudo.contains(part), qPrintable(pseudo));
    }

    // A file dialog still finds the pattern of a translated filter.
    void pseudoFilterStillFilters()
    {
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setNameFilter(pseudo::translate(QStringLiteral("Firmware File (*.bin);;")));
        auto *model = dialog.findChild<QFileSystemModel *>();
        QVERIFY(model);
        QCOMPARE(model->nameFilters(), QStringList{QStringLiteral("*.bin")});
    }

    void recognisesUntranslated_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("translated");
        QTest::newRow("source text") << "Save Setting" << false;
        QTest::newRow("digits alone") << "1.0.3" << false;
        QTest::newRow("translated, then digits") << pseudo::translate("Firmware Version:") + "1.0.3" << true;
        QTest::newRow("translated, then words") << pseudo::translate("Notify") + " (sim)" << false;
        QTest::newRow("words, then translated") << "Wheel " + pseudo::translate("Error") << false;
    }

    void recognisesUntranslated()
    {
        QFETCH(QString, shown);
        QFETCH(bool, translated);
        QCOMPARE(pseudo::isTranslated(shown), translated);
    }

    // Each page in turn, as the sidebar shows it.
    void everyPage()
    {
        if (!s->started())
            return;
        for (const char *sidebar : {"pbS1", "pbS2", "pbS3", "pbS4", "pbS5"}) {
            click(sidebar);
            const QStringList untranslated = untranslatedTexts(s->window.get(), true);
            QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join(QLatin1String("; "))));
        }
        // Hidden now, shown later: the progress label's first text.
        const QStringList untranslated = untranslatedTexts(s->window.get(), false);
        QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join(QLatin1String("; "))));
    }

    void boxesAndDialogs_data()
    {
        QTest::addColumn<int>("scenario");
        QTest::addColumn<int>("boxes");
        QTest::newRow("LED colours saved") << int(LedsSaved) << 1;
        QTest::newRow("LED colours not saved") << int(LedsNotSaved) << 1;
        QTest::newRow("paddles saved") << int(PaddleSaved) << 1;
        QTest::newRow("paddles not saved") << int(PaddleNotSaved) << 1;
        QTest::newRow("not a firmware") << int(NotFirmware) << 1;
        QTest::newRow("not a firmware: a ZIP archive") << int(ZipArchive) << 1;
        // The question before the upgrade, then what follows.
        QTest::newRow("upgrade done") << int(UpgradeDone) << 2;
        QTest::newRow("upgrade failed") << int(UpgradeFailed) << 2;
        QTest::newRow("closing during an upgrade") << int(CloseDuringUpgrade) << 3;
        QTest::newRow("colour dialog") << int(ColourPicked) << 1;
        QTest::newRow("file dialog") << int(FileChosen) << 1;
    }

    void boxesAndDialogs()
    {
        QFETCH(int, scenario);
        QFETCH(int, boxes);
        if (!s->started())
            return;
        const auto failNextReport = [] { sim::failReport(int(sim::received().size()) + 1); };
        switch (Scenario(scenario)) {
        case LedsNotSaved:
            failNextReport();
            Q_FALLTHROUGH();
        case LedsSaved:
            click("pbSave");
            break;
        case PaddleNotSaved:
            failNextReport();
            Q_FALLTHROUGH();
        case PaddleSaved:
            click("pbSaveP");
            break;
        case NotFirmware:
            s->child<QLineEdit>("lePath")->setText(dir.filePath(QStringLiteral("image.txt")));
            click("pbUpgrade");
            break;
        case ZipArchive:
            s->child<QLineEdit>("lePath")->setText(writeBytes(dir.filePath(QStringLiteral("zip.bin")), "PK\x03\x04zip"));
            click("pbUpgrade");
            break;
        case UpgradeFailed:
            failNextReport();
            Q_FALLTHROUGH();
        case UpgradeDone:
            upgrade();
            break;
        case CloseDuringUpgrade:
            upgrade();
            click("pbClose");
            break;
        case ColourPicked:
            s->answerer.cancelDialogs();
            click("pbB1");
            break;
        case FileChosen:
            s->answerer.cancelDialogs();
            click("pbPath");
            break;
        }
        QTRY_COMPARE(s->answerer.boxes().size(), boxes);
        if (upgrading)
            QVERIFY(settled());
        const QStringList untranslated = untranslatedTexts(s->answerer.boxes());
        QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join(QLatin1String("; "))));

        // The progress label: uploading, then writing and waiting for the
        // wheel (a failed transfer ends before either).
        QStringList untranslatedLabels;
        for (const QString &text : labelTexts)
            if (!pseudo::isTranslated(text))
                untranslatedLabels << text;
        QVERIFY2(untranslatedLabels.isEmpty(), qPrintable(untranslatedLabels.join(QLatin1String("; "))));
        if (scenario == UpgradeDone)
            QCOMPARE(labelTexts.size(), 3);
    }

    // The start-up read fails: the box is translated like every other.
    void settingsUnreadable()
    {
        sim::failReport(1);
        MainWindow window;
        QCOMPARE(runUntilQuit(), 0);
        QCOMPARE(s->answerer.boxes().size(), 1);
        QCOMPARE(untranslatedTexts(s->answerer.boxes()), QStringList{});
    }

    // No wheel at all: this box alone stays as it is, in English.
    void noDeviceStaysEnglish()
    {
        sim::setPresent(false);
        MainWindow window;
        QCOMPARE(runUntilQuit(), 0);
        QCOMPARE(s->answerer.messages(), QStringList{QStringLiteral("Error/No device.")});
    }
};

QTEST_MAIN(TranslationsTest)
#include "tst_translations.moc"
