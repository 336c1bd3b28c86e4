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
    int row = 0;
    int column = -1;  // of the last cell read in the row
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) continue;
        if (xml.name() == u"row") {
            const QStringView r = xml.attributes().value("r");
            row = r.isEmpty() ? row + 1 : r.toInt();
            column = -1;
        } else if (xml.name() == u"c") {
            // A cell that names no place takes the one after the cell before.
            ref = xml.attributes().value("r").toString();
            if (ref.isEmpty()) {
                ++column;
                for (int c = column + 1; c > 0; c = (c - 1) / 26)
                    ref.prepend(QChar(u'A' + (c - 1) % 26));
                ref += QString::number(row);
            } else {
                column = 0;
                for (const QChar ch : ref)
                    if (ch.isLetter()) column = column * 26 + (ch.unicode() - u'A' + 1);
                --column;
            }
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
