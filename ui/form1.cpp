// SPDX-License-Identifier: MIT
#include "ui/form1.h"

#include "calc/calculation_run.h"
#include "calc/report_text.h"
#include "form/layout.h"
#include "form/report_limit.h"
#include "ui/accessible_names.h"
#include "ui/box_palette.h"
#include "ui/option_marker_style.h"
#include "ui/report_view.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFont>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <limits>
#include <vector>

namespace ui {
namespace {

using form::ControlKind;
using form::ControlRow;
using form::Pixels;

// The window takes Liberation Sans (Arial's metrics) at the largest size up to that at which every
// caption fits its control, so that a substituted font shrinks a little rather than cutting
// captions off.
constexpr const char *kWindowFontFamily = "Liberation Sans";
constexpr double kLargestWindowFontPoints = form::kWindowFontPoints;
constexpr double kSmallestWindowFontPoints = 6.0;
constexpr double kWindowFontStep = 0.25;
// A frame's title is drawn inset from its left and right edges.
constexpr int kFrameTitleMargin = 8;

QString ToQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

int ClampToInt(std::int64_t value)
{
    return static_cast<int>(std::clamp<std::int64_t>(
        value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

QRect Geometry(const ControlRow &row)
{
    return { Pixels(row.left), Pixels(row.top), Pixels(row.width), Pixels(row.height) };
}

} // namespace

Form1::Form1(QWidget *parent)
    : QWidget(parent)
{
    CreateControls();
    ApplyDefaults();
    ConnectSignals();
}

void Form1::CreateControls()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(ToQString(form::kWindowCaption));
    setFixedSize(Pixels(form::kClientWidth), Pixels(form::kClientHeight));

    QHash<QString, QWidget *> containers;
    std::vector<std::pair<int, QWidget *>> focusOrder;
    for (const ControlRow &row : form::kControls) {
        QWidget *container
            = row.container.empty() ? this : containers.value(ToQString(row.container));
        const QString caption = ToQString(row.caption);
        QWidget *control = nullptr;
        switch (row.kind) {
        case ControlKind::Frame:
            control = new QGroupBox(caption, container);
            containers.insert(ToQString(row.name), control);
            break;
        case ControlKind::Label: {
            auto *label = new QLabel(caption, container);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            control = label;
            break;
        }
        case ControlKind::TextBox: {
            auto *box = new QLineEdit(container);
            box->setMaxLength(std::numeric_limits<int>::max()); // any text of any length
            if (row.whiteBackground) {
                box->setPalette(WhiteBoxPalette(box->palette()));
            }
            m_boxes.at(static_cast<std::size_t>(form::ControlNumber(row.name))) = box;
            control = box;
            break;
        }
        case ControlKind::Option:
            control = m_options.at(static_cast<std::size_t>(form::ControlNumber(row.name)))
                = new QRadioButton(caption, container);
            break;
        case ControlKind::Button:
            control = new QPushButton(caption, container);
            break;
        case ControlKind::ProgressBar:
            control = ProgressBar1 = new QProgressBar(container);
            ProgressBar1->setTextVisible(false);
            break;
        case ControlKind::ResultPane:
            control = RichTextBox1 = new ReportView(container);
            break;
        }
        control->setObjectName(ToQString(row.name));
        control->setGeometry(Geometry(row));
        if (control->focusPolicy() != Qt::NoFocus) {
            focusOrder.emplace_back(row.tabIndex, control);
        }
    }
    std::sort(focusOrder.begin(), focusOrder.end(),
        [](const auto &a, const auto &b) { return a.first < b.first; });
    for (std::size_t i = 1; i < focusOrder.size(); ++i) {
        setTabOrder(focusOrder[i - 1].second, focusOrder[i].second);
    }

    for (calc::Side side : { calc::Side::RF, calc::Side::IF }) {
        const calc::SideProfile &profile = calc::ProfileOf(side);
        m_startButtons.at(static_cast<std::size_t>(side))
            = findChild<QPushButton *>(ToQString(profile.startButton));
        m_runStateControls.at(static_cast<std::size_t>(side))
            = m_boxes.at(static_cast<std::size_t>(profile.matchCount));
    }
    m_runStateControls.back() = ProgressBar1;

    NameForAssistiveTechnology(*this);
    InstallOptionMarkerStyle(*this);
    FitWindowFont();

    QFont paneFont(ToQString(form::kPaneFontFamily));
    paneFont.setPointSizeF(form::kPaneFontPoints);
    RichTextBox1->setFont(paneFont);
    RichTextBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichTextBox1->SetTabStopDistance(Pixels(form::kPaneTabStopTwips));
}

void Form1::FitWindowFont()
{
    QFont font(QString::fromLatin1(kWindowFontFamily));
    font.setStyleHint(QFont::SansSerif);
    for (double points = kLargestWindowFontPoints; points >= kSmallestWindowFontPoints;
         points -= kWindowFontStep) {
        font.setPointSizeF(points);
        setFont(font);
        if (CaptionsFit()) {
            return;
        }
    }
}

bool Form1::CaptionsFit() const
{
    for (const QWidget *control : findChildren<QWidget *>()) {
        if (qobject_cast<const QLabel *>(control)
            || qobject_cast<const QAbstractButton *>(control)) {
            if (control->sizeHint().width() > control->width()) {
                return false;
            }
        } else if (const auto *frame = qobject_cast<const QGroupBox *>(control)) {
            const int title = frame->fontMetrics().horizontalAdvance(frame->title());
            if (title + 2 * kFrameTitleMargin > frame->width()) {
                return false;
            }
        }
    }
    return true;
}

void Form1::ApplyDefaults()
{
    for (const ControlRow &row : form::kControls) {
        const auto number = static_cast<std::size_t>(
            row.kind == ControlKind::TextBox || row.kind == ControlKind::Option
                ? form::ControlNumber(row.name)
                : 0);
        if (row.kind == ControlKind::TextBox) {
            m_boxes.at(number)->setText(ToQString(row.caption));
            m_fieldTexts.at(number) = row.caption;
        } else if (row.kind == ControlKind::Option) {
            m_options.at(number)->setChecked(row.selected);
        }
    }
    ProgressBar1->reset(); // no progress shown
    SetPaneText({});
    RichTextBox1->setFocus();
}

void Form1::ConnectSignals()
{
    for (std::size_t number = 0; number < m_boxes.size(); ++number) {
        if (QLineEdit *box = m_boxes.at(number)) {
            connect(box, &QLineEdit::textChanged, this, [this, number](const QString &text) {
                m_fieldTexts.at(number) = text.toStdString();
            });
        }
    }
    for (calc::Side side : { calc::Side::RF, calc::Side::IF }) {
        connect(m_startButtons.at(static_cast<std::size_t>(side)), &QPushButton::clicked, this,
            [this, side] { Calculate(side); });
    }
}

void Form1::Calculate(calc::Side side)
{
    if (m_running) {
        return;
    }
    // No second run may start inside this one's yields; the buttons come back however it ends.
    struct RunScope {
        Form1 &form;
        explicit RunScope(Form1 &f)
            : form(f)
        {
            form.m_running = true;
            for (QPushButton *button : form.m_startButtons) {
                button->setEnabled(false);
            }
        }
        ~RunScope()
        {
            for (QPushButton *button : form.m_startButtons) {
                button->setEnabled(true);
            }
            form.m_running = false;
        }
        RunScope(const RunScope &) = delete;
        RunScope &operator=(const RunScope &) = delete;
    } scope(*this);
    m_pacer.Start(std::chrono::steady_clock::now());
    m_reportTooLong = false;
    calc::RunCalculation(side, *this);
    ShowRunState(Drawing::Now);
    RichTextBox1->ReleaseSpareMemory();
}

std::string Form1::PaneText() const
{
    return RichTextBox1->Text();
}

std::string_view Form1::FieldText(calc::Box box)
{
    return m_fieldTexts.at(static_cast<std::size_t>(box));
}

bool Form1::OptionSelected(calc::OptionButton button)
{
    return m_options.at(static_cast<std::size_t>(button))->isChecked();
}

void Form1::SetMatchCount(calc::Box counter, std::string_view text)
{
    const auto number = static_cast<std::size_t>(counter);
    m_pendingCounts.at(number).emplace(text);
}

void Form1::SetPaneText(std::string_view text)
{
    RichTextBox1->SetText(text);
}

void Form1::AppendPaneText(std::string_view text)
{
    RichTextBox1->Append(text);
    if (RichTextBox1->TextSize() > m_largestReport && m_running) {
        m_reportTooLong = true;
    }
}

// The bar is given its range and value only when the event loop turns and the screen could
// show them anyway.
void Form1::SetProgressMaximum(std::int64_t maximum)
{
    m_progressMaximum = maximum;
}

void Form1::SetProgressMinimum(std::int64_t minimum)
{
    m_progressMinimum = minimum;
}

void Form1::SetProgressValue(std::int64_t value)
{
    m_progressValue = value;
}

// The bar takes the run's range and value as far as an int holds them; a range whose minimum
// lies above its maximum, or a value below the range, shows no progress.
void Form1::ShowProgress()
{
    if (m_progressMinimum > m_progressMaximum) {
        ProgressBar1->setRange(ClampToInt(m_progressMaximum), ClampToInt(m_progressMaximum));
        ProgressBar1->reset();
    } else {
        ProgressBar1->setRange(ClampToInt(m_progressMinimum), ClampToInt(m_progressMaximum));
        if (m_progressValue < m_progressMinimum) {
            ProgressBar1->reset();
        } else {
            ProgressBar1->setValue(ClampToInt(std::min(m_progressValue, m_progressMaximum)));
        }
    }
}

void Form1::ShowErrorBox(std::string_view title, std::string_view text)
{
    if (m_closing) {
        return; // the user has closed the window: nothing may pop up after it
    }
    ShowRunState(Drawing::Now); // the box comes up over the divider that raised it
    QMessageBox box(
        QMessageBox::Critical, ToQString(title), ToQString(text), QMessageBox::Ok, this);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

calc::AfterYield Form1::Yield()
{
    if (m_pacer.ClockDue(m_progressValue)) {
        const auto turn = m_pacer.CheckClock(std::chrono::steady_clock::now(), m_progressValue);
        if (turn != form::YieldPacer::Turn::None) {
            // Nobody can see a change between two turns, so none is drawn until a frame is due.
            ShowRunState(turn == form::YieldPacer::Turn::EventsAndFrame ? Drawing::Now
                                                                        : Drawing::AtNextFrame);
            QCoreApplication::processEvents();
            m_pacer.TurnEnded(std::chrono::steady_clock::now());
        }
    }
    if (m_closing) {
        return calc::AfterYield::Close;
    }
    if (m_reportTooLong) {
        return StopTooLongReport();
    }
    return calc::AfterYield::Continue;
}

// A sweep of billions of listed dividers would fill the memory before it ended; the window
// stops it at a report no one could read through, and says so.
calc::AfterYield Form1::StopTooLongReport()
{
    m_reportTooLong = false;
    ShowErrorBox(calc::kErrorBoxTitle, form::ReportTooLongMessage(m_largestReport));
    return m_closing ? calc::AfterYield::Close : calc::AfterYield::StopSweep;
}

// The window turns its event loop only when it looks at the clock, and it looks at the clock
// only in a yield the run makes: a yield the run leaves out cannot be one that would have turned.
std::int64_t Form1::QuietYields()
{
    return m_pacer.QuietYields();
}

// Brings the match counters, the progress bar and the pane up to what the run has set. A box or
// a bar draws itself, and puts the window on screen, as soon as its value changes; between
// frames they take their values with their updates off, so that reading them gives what the
// run has done, and are drawn with the pane at the next frame.
void Form1::ShowRunState(Drawing drawing)
{
    for (QWidget *control : m_runStateControls) {
        control->setUpdatesEnabled(false);
    }
    ShowCounts();
    ShowProgress();
    if (drawing == Drawing::Now) {
        RichTextBox1->Sync();
        for (QWidget *control : m_runStateControls) {
            control->setUpdatesEnabled(true);
        }
    }
}

void Form1::ShowCounts()
{
    for (std::size_t number = 0; number < m_pendingCounts.size(); ++number) {
        if (std::optional<std::string> &count = m_pendingCounts.at(number)) {
            m_boxes.at(number)->setText(ToQString(*count));
            count.reset();
        }
    }
}

calc::NumberFormat Form1::UserNumberFormat()
{
    const QLocale locale = QLocale::system();
    return { locale.decimalPoint().toStdString(), locale.groupSeparator().toStdString() };
}

void Form1::closeEvent(QCloseEvent *event)
{
    // A run in progress ends at its next yield; the window goes at once.
    if (m_running) {
        m_closing = true;
    }
    event->accept();
}

} // namespace ui
