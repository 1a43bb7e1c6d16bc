#include "ui/HelpHover.h"

#include <QAbstractSlider>
#include <QChildEvent>
#include <QComboBox>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSplitterHandle>
#include <QWidget>

namespace {
const char* const SilentProperty = "tessalyNoMouseMoveHelp";

bool ReportsNoMovement(const QWidget* widget)
{
    if (widget->property(SilentProperty).toBool())
        return true;
    if (qobject_cast<const QComboBox*>(widget) || qobject_cast<const QSplitterHandle*>(widget))
        return true;
    // A scroll bar belongs to the list or memo it scrolls; a slider is a control of its own.
    return qobject_cast<const QAbstractSlider*>(widget) && !qobject_cast<const QScrollBar*>(widget);
}

// Qt names the inner parts of its widgets "qt_…"; the window's controls carry their own names.
bool IsNamedControl(const QWidget* widget)
{
    const QString name = widget->objectName();
    return !name.isEmpty() && !name.startsWith(QStringLiteral("qt_"));
}
}

HelpHover::HelpHover(ControlFunction mouseMoveHelp, TextFunction showText, QObject* parent)
    : QObject(parent)
    , fMouseMoveHelp(std::move(mouseMoveHelp))
    , fShowText(std::move(showText))
{
}

void HelpHover::Watch(QWidget* root)
{
    WatchOne(root);
    for (QWidget* child : root->findChildren<QWidget*>())
        WatchOne(child);
}

void HelpHover::WatchOne(QWidget* widget)
{
    widget->installEventFilter(this); // installing twice keeps one filter
    widget->setMouseTracking(true);
}

void HelpHover::MarkSilent(QWidget* widget)
{
    widget->setProperty(SilentProperty, true);
}

void HelpHover::SetEnterText(QWidget* widget, const QString& markup)
{
    fEnterTexts.insert(widget, markup);
    connect(widget, &QObject::destroyed, this, [this](QObject* gone) { fEnterTexts.remove(gone); });
}

QWidget* HelpHover::ReportingControl(QWidget* widget)
{
    for (QWidget* w = widget; w; w = w->parentWidget()) {
        if (ReportsNoMovement(w))
            return nullptr;
        if (IsNamedControl(w))
            return w;
        if (w->isWindow())
            return nullptr;
    }
    return nullptr;
}

bool HelpHover::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ChildAdded: {
        QObject* child = static_cast<QChildEvent*>(event)->child();
        if (child->isWidgetType())
            Watch(static_cast<QWidget*>(child));
        break;
    }
    case QEvent::MouseMove: {
        auto* widget = static_cast<QWidget*>(watched);
        // A movement a widget inside did not take comes on to its parent: only the widget
        // under the pointer reports it.
        if (widget->childAt(static_cast<QMouseEvent*>(event)->position().toPoint()))
            break;
        if (QWidget* control = ReportingControl(widget))
            fMouseMoveHelp(control);
        break;
    }
    case QEvent::Enter:
        if (const auto text = fEnterTexts.constFind(watched); text != fEnterTexts.constEnd())
            fShowText(*text);
        break;
    default:
        break;
    }
    return false;
}
