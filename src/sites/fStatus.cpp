#include "sites/fStatus.h"

#include <vector>

#include <QAbstractTableModel>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "core/uSettings.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"

namespace {

constexpr int MinimumSide = 50;

// A row's text on one line; the row's tool tip keeps the line breaks.
QString OneLine(const QString& text) { return ForDisplay(text).simplified(); }

} // namespace

QSize StatusWindowSize(
    int storedWidth, int storedHeight, const QSize& designed, const QSize& screen)
{
    const auto side = [](int stored, int designedSide, int screenSide) {
        const int wanted = stored < 0 ? designedSide : stored;
        return std::max(MinimumSide, std::min(wanted, screenSide));
    };
    return { side(storedWidth, designed.width(), screen.width()),
        side(storedHeight, designed.height(), screen.height()) };
}

QPoint BottomRightOf(const QSize& frameSize, const QRect& available)
{
    return { available.right() + 1 - frameSize.width(),
        available.bottom() + 1 - frameSize.height() };
}

bool ClosesByItself(bool autoClose, const TUpdateRun& run)
{
    return autoClose && run.Counts().Failed == 0 && !run.Cancelled();
}

// The run's rows as a table: title with an icon telling how the row stands, status text and
// progress.
class TRunRowsModel : public QAbstractTableModel {
public:
    enum TColumn { ColTitle, ColStatus, ColProgress, ColumnCount };

    explicit TRunRowsModel(const std::vector<TRunRow>& rows)
        : Rows(rows.begin(), rows.end())
    {
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : int(Rows.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : ColumnCount;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        switch (section) {
        case ColTitle:
            return TfmStatus::tr("File");
        case ColStatus:
            return TfmStatus::tr("Status");
        default:
            return TfmStatus::tr("Progress");
        }
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        const TRow& row = Rows[size_t(index.row())];
        switch (role) {
        case Qt::DisplayRole:
            if (index.column() == ColTitle)
                return row.Run.Title;
            if (index.column() == ColStatus)
                return OneLine(row.Run.Text);
            return row.Percent;
        case Qt::ToolTipRole:
            return ForDisplay(index.column() == ColTitle ? row.Run.Title : row.Run.Text);
        case Qt::DecorationRole:
            return index.column() == ColTitle ? Icon(row) : QVariant();
        case Qt::FontRole:
            if (row.Run.IsSite && index.column() == ColTitle) {
                QFont bold;
                bold.setBold(true);
                return bold;
            }
            return {};
        default:
            return {};
        }
    }

    void SetStatus(int row, const QString& text, int percent)
    {
        TRow& changed = Rows[size_t(row)];
        changed.Run.Text = text;
        changed.Active = true;
        if (percent >= 0)
            changed.Percent = percent;
        emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
    }

    void Finish(int row, const TRunRow& result)
    {
        TRow& finished = Rows[size_t(row)];
        finished.Run = result;
        finished.Active = false;
        // A full bar would read as done: a failed or skipped row keeps where it stopped.
        if (result.Result != TRowResult::Skipped && result.Result != TRowResult::Failed)
            finished.Percent = 100;
        emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
    }

private:
    struct TRow {
        TRunRow Run;
        int Percent = 0;
        bool Active = false;
    };

    static QIcon Icon(const TRow& row)
    {
        QStyle* style = QApplication::style();
        if (row.Run.Result == TRowResult::Failed)
            return style->standardIcon(QStyle::SP_MessageBoxCritical);
        if (row.Active)
            return style->standardIcon(QStyle::SP_BrowserReload);
        return style->standardIcon(QStyle::SP_MessageBoxInformation);
    }

    std::vector<TRow> Rows;
};

namespace {

// Draws the progress column as a bar.
class TProgressDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
        const QModelIndex& index) const override
    {
        QStyleOptionProgressBar bar;
        // One bar's height, also in a row that grew for a long message.
        constexpr int BarHeight = 22;
        bar.rect = QRect(option.rect.left() + 2, option.rect.center().y() - BarHeight / 2 + 1,
            option.rect.width() - 4, BarHeight);
        bar.minimum = 0;
        bar.maximum = 100;
        bar.progress = index.data().toInt();
        bar.state = option.state | QStyle::State_Horizontal;
        QApplication::style()->drawControl(QStyle::CE_ProgressBar, &bar, painter);
    }
};

} // namespace

TfmStatus::TfmStatus(const TUpdateItems& items, bool trayMode, QWidget* parent, bool forceSiteXml)
    : QDialog(parent)
    , TrayMode(trayMode)
    , FRun(std::make_unique<TUpdateRun>(items, *this, *this, trayMode, forceSiteXml))
    , RowView(new QTableView(this))
    , pbMain(new QProgressBar(this))
    , laTotalProgress(new QLabel(Tr(Msg::Starting), this))
    , buClose(new QPushButton(tr("Cancel"), this))
    , cbAutoClose(new QCheckBox(tr("Auto close"), this))
{
    setObjectName(QStringLiteral("fmStatus"));
    setWindowTitle(tr("Marivel AutoUpdate Status..."));
    Rows = std::make_unique<TRunRowsModel>(FRun->Rows());
    RowView->setModel(Rows.get());
    RowView->setObjectName(QStringLiteral("lvRows"));
    RowView->setItemDelegateForColumn(TRunRowsModel::ColProgress, new TProgressDelegate(RowView));
    RowView->setSelectionMode(QAbstractItemView::NoSelection);
    RowView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A failure's message and a site's long address are read whole: rows grow to hold them.
    RowView->setWordWrap(true);
    RowView->setFocusPolicy(Qt::NoFocus); // the rows are for reading
    RowView->verticalHeader()->hide();
    RowView->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    RowView->verticalHeader()->setMinimumSectionSize(30);
    RowView->setIconSize(QSize(24, 24));
    QHeaderView* header = RowView->horizontalHeader();
    header->setSectionResizeMode(TRunRowsModel::ColTitle, QHeaderView::Stretch);
    header->setSectionResizeMode(TRunRowsModel::ColStatus, QHeaderView::Stretch);
    header->setSectionResizeMode(TRunRowsModel::ColProgress, QHeaderView::Fixed);
    RowView->setColumnWidth(TRunRowsModel::ColProgress, 90);

    pbMain->setObjectName(QStringLiteral("pbMain"));
    pbMain->setRange(0, 100);
    laTotalProgress->setObjectName(QStringLiteral("laTotalProgress"));
    laTotalProgress->setWordWrap(true);
    buClose->setObjectName(QStringLiteral("buClose"));
    cbAutoClose->setObjectName(QStringLiteral("cbAutoClose"));
    cbAutoClose->setChecked(Settings().StatusAutoClose);
    connect(cbAutoClose, &QCheckBox::toggled, this,
        [](bool checked) { Settings().StatusAutoClose = checked; });
    connect(buClose, &QPushButton::clicked, this, &TfmStatus::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(RowView, 1);
    layout->addWidget(pbMain);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel(tr("Progress") + QStringLiteral(":"), this));
    bottom->addWidget(laTotalProgress, 1);
    bottom->addWidget(cbAutoClose);
    bottom->addWidget(buClose);
    layout->addLayout(bottom);
    PlaceWindow();
}

TfmStatus::~TfmStatus() = default;

void TfmStatus::PlaceWindow()
{
    const QScreen* screen =
        parentWidget() ? parentWidget()->screen() : QApplication::primaryScreen();
    const QRect available = screen->availableGeometry();
    const TSettings& settings = Settings();
    const QSize size = TrayMode ? StatusWindowSize(settings.StatusTrayWidth,
                           settings.StatusTrayHeight, { 420, 260 }, available.size())
                                : StatusWindowSize(settings.StatusWidth, settings.StatusHeight,
                                    { 640, 400 }, available.size());
    resize(size);
    if (TrayMode)
        move(BottomRightOf(frameGeometry().size().expandedTo(size), available));
}

void TfmStatus::StoreSize()
{
    TSettings& settings = Settings();
    (TrayMode ? settings.StatusTrayWidth : settings.StatusWidth) = width();
    (TrayMode ? settings.StatusTrayHeight : settings.StatusHeight) = height();
}

void TfmStatus::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (Started)
        return;
    Started = true;
    if (TrayMode) // the frame is known now
        move(BottomRightOf(frameGeometry().size(), screen()->availableGeometry()));
    QTimer::singleShot(0, this, &TfmStatus::Execute);
}

void TfmStatus::Execute()
{
    bool ran = true;
    try {
        FRun->Execute();
    } catch (const EUserError& e) { // the run could not start: the window stays to say why
        ran = false;
        laTotalProgress->setText(OneLine(AsSentence(e.Message())));
    }
    FFinished = true;
    buClose->setText(tr("Close"));
    if (ran && ClosesByItself(Settings().StatusAutoClose, *FRun))
        accept();
}

// While the run goes on, closing the window cancels it; the window stays until the run has
// stopped, so the user sees how far it came.
void TfmStatus::done(int result)
{
    if (Started && !FFinished) {
        FRun->Cancel();
        return;
    }
    StoreSize();
    QDialog::done(result);
}

void TfmStatus::Overall(const QString& text, int percent)
{
    laTotalProgress->setText(OneLine(text));
    pbMain->setValue(percent);
    QCoreApplication::processEvents();
}

void TfmStatus::RowStatus(int row, const QString& text, int percent)
{
    Rows->SetStatus(row, text, percent);
    RowView->scrollTo(Rows->index(row, 0));
    QCoreApplication::processEvents();
}

void TfmStatus::RowFinished(int row, const TRunRow& result) { Rows->Finish(row, result); }

bool TfmStatus::AskContinue(const QString& question, bool& continueOnErrors)
{
    QMessageBox box(QMessageBox::Question, QLatin1String(Msg::ApplicationTitle),
        ForDisplay(question), QMessageBox::Yes | QMessageBox::No, this);
    auto* always = new QCheckBox(Tr(Msg::ContinueOnErrors), &box);
    box.setCheckBox(always);
    const bool goOn = box.exec() == QMessageBox::Yes;
    continueOnErrors = goOn && always->isChecked();
    return goOn;
}

void TfmStatus::ShowMessage(const QString& text)
{
    QMessageBox::critical(this, QLatin1String(Msg::ApplicationTitle), ForDisplay(text));
}

TOverwriteAnswer TfmStatus::AskOverwrite(const QString& question)
{
    return TfmConfirmDialog::Ask(question, this);
}

TfmConfirmDialog::TfmConfirmDialog(const QString& message, QWidget* parent)
    : QDialog(parent)
    , cbAlways(new QCheckBox(tr("Always \"Yes to All\""), this))
{
    setObjectName(QStringLiteral("fmConfirm"));
    setWindowTitle(tr("Confirm..."));
    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
    auto* text = new QLabel(ForDisplay(message), this);
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(text, 1);
    auto* buttons = new QDialogButtonBox(this);
    const auto add = [&](const QString& caption, TOverwriteAnswer answer) {
        QPushButton* button = buttons->addButton(caption, QDialogButtonBox::ActionRole);
        connect(button, &QPushButton::clicked, this, [this, answer] { done(int(answer)); });
        return button;
    };
    add(tr("Yes"), TOverwriteAnswer::Yes)->setDefault(true);
    add(tr("No"), TOverwriteAnswer::No);
    add(tr("Yes to All"), TOverwriteAnswer::YesToAll);
    add(tr("Cancel"), TOverwriteAnswer::Cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(cbAlways);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

TOverwriteAnswer TfmConfirmDialog::Answer() const
{
    const auto answer = TOverwriteAnswer(result());
    return answer == TOverwriteAnswer::YesToAll && cbAlways->isChecked()
        ? TOverwriteAnswer::YesToAllAlways
        : answer;
}

// Closing the window (Escape, the title bar) answers Cancel, not the Yes that code 0 means.
void TfmConfirmDialog::reject() { done(int(TOverwriteAnswer::Cancel)); }

TOverwriteAnswer TfmConfirmDialog::Ask(const QString& message, QWidget* parent)
{
    TfmConfirmDialog dialog(message, parent);
    dialog.exec();
    return dialog.Answer();
}
