// Makes the pseudo translation of a Qt Linguist file: every message of
// <texts.ts> (as lupdate wrote it) with pseudo::translate() of its source as
// the finished translation, written as <pseudo.ts> for <language>.
//
//     vorla-pseudo-ts <texts.ts> <pseudo.ts> <language>

#include "i18n/PseudoText.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <cstdio>

namespace {

struct Message {
    QString source;
    QString comment; // the disambiguation, part of the message's key
    bool numerus = false;
};

struct Context {
    QString name;
    QList<Message> messages;
};

// The live messages of a .ts file, by context; vanished and obsolete ones
// are left out.
bool readTs(const QString &path, QList<Context> &contexts, QString &error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    QXmlStreamReader xml(&file);
    Message message;
    bool live = true;
    while (!xml.atEnd()) {
        xml.readNext();
        const auto name = xml.name();
        if (xml.isEndElement() && name == QLatin1String("message")) {
            if (live && !contexts.isEmpty())
                contexts.last().messages << message;
        } else if (!xml.isStartElement()) {
            continue;
        } else if (name == QLatin1String("context")) {
            contexts << Context{};
        } else if (name == QLatin1String("name") && !contexts.isEmpty()) {
            contexts.last().name = xml.readElementText();
        } else if (name == QLatin1String("message")) {
            message = Message{};
            message.numerus = xml.attributes().value(QLatin1String("numerus")) == QLatin1String("yes");
            live = true;
        } else if (name == QLatin1String("source")) {
            message.source = xml.readElementText();
        } else if (name == QLatin1String("comment")) {
            message.comment = xml.readElementText();
        } else if (name == QLatin1String("translation")) {
            const auto type = xml.attributes().value(QLatin1String("type"));
            live = type != QLatin1String("vanished") && type != QLatin1String("obsolete");
            xml.skipCurrentElement();
        }
    }
    if (xml.hasError()) {
        error = QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(xml.errorString());
        return false;
    }
    return true;
}

bool writeTs(const QString &path, const QList<Context> &contexts, const QString &language, QString &error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
        return false;
    }
    QXmlStreamWriter xml(&file);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDTD(QStringLiteral("<!DOCTYPE TS>"));
    xml.writeStartElement(QStringLiteral("TS"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("2.1"));
    xml.writeAttribute(QStringLiteral("language"), language);
    for (const Context &context : contexts) {
        xml.writeStartElement(QStringLiteral("context"));
        xml.writeTextElement(QStringLiteral("name"), context.name);
        for (const Message &message : context.messages) {
            xml.writeStartElement(QStringLiteral("message"));
            if (message.numerus)
                xml.writeAttribute(QStringLiteral("numerus"), QStringLiteral("yes"));
            xml.writeTextElement(QStringLiteral("source"), message.source);
            if (!message.comment.isEmpty())
                xml.writeTextElement(QStringLiteral("comment"), message.comment);
            const QString translation = pseudo::translate(message.source);
            if (message.numerus) {
                // Singular and plural, as the pseudo language counts.
                xml.writeStartElement(QStringLiteral("translation"));
                xml.writeTextElement(QStringLiteral("numerusform"), translation);
                xml.writeTextElement(QStringLiteral("numerusform"), translation);
                xml.writeEndElement();
            } else {
                xml.writeTextElement(QStringLiteral("translation"), translation);
            }
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    xml.writeEndDocument();
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: vorla-pseudo-ts <texts.ts> <pseudo.ts> <language>\n");
        return 2;
    }
    QList<Context> contexts;
    QString error;
    if (!readTs(args.at(1), contexts, error)) {
        std::fprintf(stderr, "vorla-pseudo-ts: %s: %s\n", qPrintable(args.at(1)), qPrintable(error));
        return 1;
    }
    if (!writeTs(args.at(2), contexts, args.at(3), error)) {
        std::fprintf(stderr, "vorla-pseudo-ts: %s: %s\n", qPrintable(args.at(2)), qPrintable(error));
        return 1;
    }
    return 0;
}
