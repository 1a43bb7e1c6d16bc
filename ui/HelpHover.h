#pragma once
// Reports the control under the mouse pointer for the help tips. Watches a widget and every
// widget later added below it: mouse movement over a control (mouse tracking is switched on
// for all of them) reports that control, the named widget that the pointer's widget belongs
// to (a list's viewport belongs to the list, the chart's inner view to the chart). Drop-down
// lists, sliders and splitter handles report no movement, nor does a widget marked with
// MarkSilent; some of them give a text of their own when the pointer enters them
// (SetEnterText).
#include <QHash>
#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;

class HelpHover : public QObject {
    Q_OBJECT
public:
    using ControlFunction = std::function<void(QWidget* control)>;
    using TextFunction = std::function<void(const QString& markup)>;

    HelpHover(ControlFunction mouseMoveHelp, TextFunction showText, QObject* parent = nullptr);

    // Watches the widget and everything below it, now and later.
    void Watch(QWidget* root);
    // The widget reports no mouse movement (nor do the widgets inside it).
    static void MarkSilent(QWidget* widget);
    // Shows markup when the pointer enters the widget.
    void SetEnterText(QWidget* widget, const QString& markup);

    // The control a mouse movement over the widget reports: the nearest named widget at or
    // above it; nullptr when that path crosses a widget that reports no movement.
    static QWidget* ReportingControl(QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void WatchOne(QWidget* widget);

    ControlFunction fMouseMoveHelp;
    TextFunction fShowText;
    QHash<const QObject*, QString> fEnterTexts;
};
