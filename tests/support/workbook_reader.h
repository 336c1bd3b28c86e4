#pragma once
// Reads back the first sheet of an .xlsx workbook (through unzip) for tests.

#include <QString>
#include <QStringList>
#include <map>

struct SheetCell {
    QString value;
    bool number = false;
};

struct Sheet {
    std::map<QString, SheetCell> cells;  // by reference, "B3"
    QStringList merges;

    QString Text(const QString& ref) const {
        const auto it = cells.find(ref);
        return it == cells.end() ? QString() : it->second.value;
    }
    bool IsNumber(const QString& ref) const {
        const auto it = cells.find(ref);
        return it != cells.end() && it->second.number;
    }
    QStringList RefsInRow(int row) const {
        QStringList refs;
        for (const auto& [ref, cell] : cells)
            if (ref.mid(1).toInt() == row && !cell.value.isEmpty()) refs << ref;
        return refs;
    }
    // Every non-empty text of the sheet.
    QStringList Texts() const {
        QStringList texts;
        for (const auto& [ref, cell] : cells)
            if (!cell.value.isEmpty()) texts << cell.value;
        return texts;
    }
};

Sheet ReadSheet(const QString& path);
