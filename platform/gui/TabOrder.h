#pragma once
// The Tab key's order on a window: the screen's reading order, top to bottom and left to
// right, a group (a panel, a group box, a page) taking its controls along as one piece.
#include <vector>

class QWidget;

namespace kv::gui {

// The widgets of window that can take the focus, in reading order.
std::vector<QWidget *> readingOrder(QWidget *window);
// Makes the window's focus chain follow readingOrder.
void orderFocusChain(QWidget *window);
// The first widget of the window's focus chain that Tab would reach, or null.
QWidget *firstTabStop(QWidget *window);

} // namespace kv::gui
