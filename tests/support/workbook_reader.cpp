#include "support/workbook_reader.h"

#include <QProcess>
#include <QXmlStreamReader>

namespace {
QByteArray Unzip(const QString& path, const QString& member) {
    QProcess unzip;
    unzip.start("unzip", {"-p", path, member});
    unzip.waitForFinished();
    return unzip.readAllStandardOutput();
}

}  // namespace

Sheet ReadSheet(const QString& path) {
    QStringList shared;
    QXmlStreamReader strings(Unzip(path, "xl/sharedStrings.xml"));
    while (!strings.atEnd()) {
        strings.readNext();
        if (strings.isStartElement() && strings.name() == u"t") shared << strings.readElementText();
    }
    Sheet sheet;
    QXmlStreamReader xml(Unzip(path, "xl/worksheets/sheet1.xml"));
    QString ref;
    QString type;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) continue;
        if (xml.name() == u"c") {
            ref = xml.attributes().value("r").toString();
            type = xml.attributes().value("t").toString();
            sheet.cells[ref] = {QString(), type.isEmpty() || type == "n"};
        } else if (xml.name() == u"v" || xml.name() == u"t") {
            const QString text = xml.readElementText();
            sheet.cells[ref].value = type == "s" ? shared.value(text.toInt()) : text;
        } else if (xml.name() == u"mergeCell") {
            sheet.merges << xml.attributes().value("ref").toString();
        }
    }
    return sheet;
}
