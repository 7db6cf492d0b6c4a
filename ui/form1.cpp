// SPDX-License-Identifier: MIT
#include "ui/form1.h"

#include "calc/side_profile.h"
#include "ui/accessible_names.h"
#include "ui/controls.h"
#include "ui/option_marker_style.h"
#include "ui/qt_text.h"
#include "ui/report_view.h"
#include "ui/window_font.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QProgressBar>
#include <QRadioButton>

#include <algorithm>
#include <limits>

namespace ui {
namespace {

using form::ControlId;
using form::Pixels;

int ClampToInt(std::int64_t value)
{
    return static_cast<int>(std::clamp<std::int64_t>(
        value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

} // namespace

Form1::Form1(QWidget *parent)
    : QWidget(parent)
{
    CreateWindow();
    m_window.ApplyDefaults();
    ConnectControls(m_controls, m_window, *this);
    RichTextBox1->setFocus();
}

void Form1::CreateWindow()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(ToQString(form::kWindowCaption));
    setFixedSize(Pixels(form::kClientWidth), Pixels(form::kClientHeight));

    m_controls = CreateControls(*this, m_window.Pane());
    RichTextBox1 = findChild<ReportView *>();
    ProgressBar1 = findChild<QProgressBar *>();

    NameForAssistiveTechnology(*this);
    InstallOptionMarkerStyle(*this);
    FitWindowFont(*this);

    QFont paneFont(ToQString(form::kPaneFontFamily));
    paneFont.setPointSizeF(form::kPaneFontPoints);
    RichTextBox1->setFont(paneFont);
    RichTextBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichTextBox1->SetTabStopDistance(Pixels(form::kPaneTabStopTwips));
}

void Form1::DrawBoxText(ControlId box, std::string_view text)
{
    Control<QLineEdit>(box)->setText(ToQString(text));
}

void Form1::DrawOption(ControlId option, bool selected)
{
    Control<QRadioButton>(option)->setChecked(selected);
}

// The bar takes the run's range and value as far as an int holds them.
void Form1::DrawProgress(const form::Progress &progress)
{
    ProgressBar1->setRange(ClampToInt(progress.minimum), ClampToInt(progress.maximum));
    if (progress.value) {
        ProgressBar1->setValue(ClampToInt(*progress.value));
    } else {
        ProgressBar1->reset();
    }
}

void Form1::DrawPane()
{
    RichTextBox1->Sync();
}

void Form1::DrawEnabled(ControlId control, bool enabled)
{
    QWidget *widget = m_controls.at(form::Index(control));
    if (!enabled && widget->hasFocus()) {
        setFocus(); // where Qt would hand it on to the next control
    }
    widget->setEnabled(enabled);
}

std::optional<ControlId> Form1::FocusedControl()
{
    const auto *focused = std::find(m_controls.begin(), m_controls.end(), focusWidget());
    if (focused == m_controls.end()) {
        return std::nullopt;
    }
    return static_cast<ControlId>(focused - m_controls.begin());
}

void Form1::Focus(ControlId control)
{
    m_controls.at(form::Index(control))->setFocus();
}

void Form1::PaneTextReplacing()
{
    RichTextBox1->KeepOfferedSelection();
}

void Form1::ShowErrorBox(std::string_view title, std::string_view text)
{
    QMessageBox box(
        QMessageBox::Critical, ToQString(title), ToQString(text), QMessageBox::Ok, this);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

void Form1::TurnEventLoop()
{
    QCoreApplication::processEvents();
}

calc::NumberFormat Form1::UserNumberFormat()
{
    const QLocale locale = QLocale::system();
    return { locale.decimalPoint().toStdString(), locale.groupSeparator().toStdString() };
}

std::optional<std::int64_t> Form1::SweepElsewhere(
    calc::SweepPath path, const calc::HeldReadings &held, std::int64_t first, std::int64_t last)
{
    return m_crew.FindStoppingDivider(path, held, first, last);
}

void Form1::closeEvent(QCloseEvent *event)
{
    // A run in progress ends at its next yield; the window goes at once.
    m_window.Closing();
    event->accept();
}

} // namespace ui
