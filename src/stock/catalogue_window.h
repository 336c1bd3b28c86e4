#pragma once
// The goods catalogue: a tree of the goods types beside the main window; picking a type
// lists its goods.

#include <QRect>

class QTreeWidget;
class QWidget;

// Opens the window owned by owner, or brings the open one forward.
void OpenCatalogueWindow(QWidget* owner);
void CloseCatalogueWindow();
QWidget* CatalogueWindow();  // nullptr when it is not open
QTreeWidget* CatalogueTree();

// Follows the main window: inside its right side when it stands at the left screen edge,
// otherwise just left of it.
void PlaceCatalogueWindow(const QRect& mainFrame);
