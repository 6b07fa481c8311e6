#pragma once

#include "SystemInfoLauncher.h"

#include <QDialog>

class QHBoxLayout;
class QVBoxLayout;

namespace vantor::app {

// Help, About the Program: name, version and description of the program, and
// a way to the operating system's System Information program.
class frmAbout : public QDialog
{
    Q_OBJECT

public:
    explicit frmAbout(SystemInfoLauncher systemInfo = SystemInfoLauncher::forThisSystem(),
                      QWidget* parent = nullptr);

private:
    QVBoxLayout* createTexts();
    QHBoxLayout* createButtons();

    SystemInfoLauncher m_systemInfo;
};

} // namespace vantor::app
