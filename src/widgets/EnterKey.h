#pragma once

class QPushButton;
class QWidget;

namespace vantor::widgets {

// Enter (also the keypad's) anywhere in window presses button, as a dialog's
// default button would; a window that is no QDialog does not do that by
// itself. A control that uses Enter (an open list, a grid being edited)
// takes it first.
void pressOnEnter(QWidget* window, QPushButton* button);

} // namespace vantor::widgets
