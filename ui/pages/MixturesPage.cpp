#include "ui/pages/MixturesPage.h"

#include "core/UserMessages.h"
#include "ui/pages/MixRecipe.h"
#include "core/SegmentProgram.h"
#include "ui/widgets/NumberBox.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

template <typename Widget>
Widget* Named(Widget* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// Recipes and reports line up in columns.
QPlainTextEdit* Memo(const char* name)
{
    auto* memo = Named(new QPlainTextEdit, name);
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    memo->setFont(font);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return memo;
}

QString ToCrLf(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return text;
}

QString ToEditorLines(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

} // namespace

MixturesPage::MixturesPage(QWidget* parent)
    : QWidget(parent)
{
    LabelMixRecipe = Named(new QLabel(QStringLiteral("Recipe")), "LabelMixRecipe");
    MemoMixRecipe = Memo("MemoMixRecipe");
    MemoMixRecipe->setPlainText(QStringLiteral("COM6 50"));
    LabelMixResult = Named(new QLabel(QStringLiteral("Mixture")), "LabelMixResult");
    MemoMixResult = Memo("MemoMixResult");
    MemoMixResult->setReadOnly(true);
    MemoMixResult->setUndoRedoEnabled(false);
    LabelMixtureName = Named(new QLabel(QStringLiteral("Recipe")), "LabelMixtureName");
    EditMixtureName = Named(new QLineEdit(QStringLiteral("Name")), "EditMixtureName");

    GroupBoxAddSegments = Named(new QGroupBox(QStringLiteral("Add segments")), "GroupBoxAddSegments");
    LabelMixSegmentsAddTime = Named(new QLabel(QStringLiteral("Time, m")), "LabelMixSegmentsAddTime");
    RtDoubleEditMixSegmentsAddTime = Named(new NumberBox, "RtDoubleEditMixSegmentsAddTime");
    RtDoubleEditMixSegmentsAddTime->SetMinimum(0);
    RtDoubleEditMixSegmentsAddTime->SetMaximum(SegmentTimeMax_min);
    LabelNoteMixture = Named(new QLabel(QStringLiteral("Note")), "LabelNoteMixture");
    EditNoteMixture = Named(new QLineEdit, "EditNoteMixture");
    ButtonMixSegmentsAdd = Named(new QPushButton(style()->standardIcon(QStyle::SP_ArrowDown), QStringLiteral("Add")),
                                 "ButtonMixSegmentsAdd");
    auto* add = new QFormLayout(GroupBoxAddSegments);
    add->addRow(LabelMixSegmentsAddTime, RtDoubleEditMixSegmentsAddTime);
    add->addRow(LabelNoteMixture, EditNoteMixture);
    add->addRow(ButtonMixSegmentsAdd);

    auto* left = new QVBoxLayout;
    left->addWidget(LabelMixRecipe);
    left->addWidget(MemoMixRecipe, 1);
    auto* name = new QFormLayout;
    name->addRow(LabelMixtureName, EditMixtureName);
    left->addLayout(name);
    left->addWidget(GroupBoxAddSegments);
    auto* right = new QVBoxLayout;
    right->addWidget(LabelMixResult);
    right->addWidget(MemoMixResult, 1);
    auto* layout = new QGridLayout(this);
    layout->addLayout(left, 0, 0);
    layout->addLayout(right, 0, 1);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 3);

    connect(MemoMixRecipe, &QPlainTextEdit::textChanged, this, &MixturesPage::MemoMixRecipeChange);
    connect(EditMixtureName, &QLineEdit::textChanged, this, &MixturesPage::MemoMixRecipeChange);
    connect(ButtonMixSegmentsAdd, &QPushButton::clicked, this, &MixturesPage::ButtonMixSegmentsAddClick);
}

void MixturesPage::SetTimeUnit(const QString& Letter, double Factor)
{
    LabelMixSegmentsAddTime->setText(QStringLiteral("Time, ") + Letter);
    RtDoubleEditMixSegmentsAddTime->SetMaximum(SegmentTimeMax_min / Factor);
    fTimeFactor = Factor;
}

QString MixturesPage::RecipeText() const
{
    return ToCrLf(MemoMixRecipe->toPlainText());
}

void MixturesPage::MemoMixRecipeChange()
{
    const TMixRecipeEvaluation evaluation = EvaluateMixRecipe(RecipeText(), EditMixtureName->text());
    MixRecipeValid = evaluation.Valid;
    MemoMixResult->setPlainText(ToEditorLines(evaluation.Text));
}

void MixturesPage::ButtonMixSegmentsAddClick()
{
    // The box shows the time in the displayed unit; programs count minutes.
    AddMixSegmentsAt(RtDoubleEditMixSegmentsAddTime->Value() * fTimeFactor);
}

QStringList MixturesPage::AddMixSegmentsAt(double Time_min)
{
    const TMixSegmentsAddResult result = AddMixSegments(RecipeText(), MixRecipeValid, Time_min, EditNoteMixture->text());
    for (const QString& line : result.LogLines)
        emit LogLine(line);
    if (!result.ChangedPorts.isEmpty())
        emit SegmentProgramsChanged(result.ChangedPorts);
    if (!result.Message.isEmpty())
        ShowMessage(result.Message);
    return result.ChangedPorts;
}
