#pragma once
// The "Tools" tab page: maintenance actions on one instrument at a time.
#include <QWidget>

class ToolsPage : public QWidget {
    Q_OBJECT
public:
    explicit ToolsPage(QWidget* parent = nullptr);
};
