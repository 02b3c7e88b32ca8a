#include "AdministratorTool.h"

TfrmAdministratorTool::TfrmAdministratorTool(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Administrator Tool"));
    resize(800, 600);
}
