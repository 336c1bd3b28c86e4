#pragma once
// What a window's boxes held when it showed its record, so that Escape, one key away from any
// box, never throws away what was typed since without asking.

#include <QStringList>

class QKeyEvent;
class QWidget;

class TypedEntries {
  public:
    // Notes the texts of window's boxes now: its line edits (those of combo and date boxes
    // too) and the choice of every combo box.
    void Note(const QWidget* window);
    // Escape without modifiers closes window, first asking when its boxes changed since Note;
    // false for any other key, which is the window's to handle.
    bool CloseOnEscape(QWidget* window, const QKeyEvent* event) const;

  private:
    QStringList noted_;
};
