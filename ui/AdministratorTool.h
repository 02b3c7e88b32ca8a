// TfrmAdministratorTool: the maintainers' window reached from the launcher's heading when the
// program setting "IsAdmin" is 1. Its functions are added by the administrator tool work; for now
// it is an empty dialog.
#pragma once

#include <QDialog>

class TfrmAdministratorTool : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAdministratorTool(QWidget* parent = nullptr);
};
