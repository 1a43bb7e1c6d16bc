#pragma once
// The "Direct control" tab page: holds the selected devices at a setpoint of their own.
#include <QWidget>

class DirectControlPage : public QWidget {
    Q_OBJECT
public:
    explicit DirectControlPage(QWidget* parent = nullptr);
};
