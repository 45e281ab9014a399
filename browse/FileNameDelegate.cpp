#include "browse/FileNameDelegate.h"

#include "browse/FileListModel.h"

#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QTextLayout>

namespace {

// Room left between neighbouring cells, so their highlights do not touch.
constexpr int kCellGap = 4;
// Lines of name under a large icon; the cell has room for these.
constexpr int kNameLines = 2;

// The list view whose grid lays out the item, or null (details view, or no grid).
const QListView* gridView(const QStyleOptionViewItem& option)
{
    const auto* view = qobject_cast<const QListView*>(option.widget);
    return view && view->gridSize().isValid() ? view : nullptr;
}

}  // namespace

FileNameDelegate::FileNameDelegate(QObject* parent) : QStyledItemDelegate(parent)
{
    connect(this, &QAbstractItemDelegate::closeEditor, this, &FileNameDelegate::onCloseEditor);
}

QWidget* FileNameDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const
{
    key_ = index.data(FileListModel::KeyRole).toString();
    oldText_ = index.data(Qt::EditRole).toString();
    reported_ = false;
    return QStyledItemDelegate::createEditor(parent, option, index);
}

void FileNameDelegate::setModelData(QWidget* editor, QAbstractItemModel*,
                                    const QModelIndex&) const
{
    if (reported_)
        return;
    reported_ = true;
    const auto* line = qobject_cast<QLineEdit*>(editor);
    const QString text = line ? line->text() : QString();
    emit const_cast<FileNameDelegate*>(this)->editFinished(key_, oldText_, text);
}

void FileNameDelegate::onCloseEditor(QWidget*, QAbstractItemDelegate::EndEditHint)
{
    // Closed without a commit (Escape): the edit was cancelled.
    if (reported_)
        return;
    reported_ = true;
    emit editFinished(key_, oldText_, QString());
}

QSize FileNameDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QListView* view = gridView(option);
    // The list mode runs in columns as wide as their names; only the icon
    // modes have cells of one size.
    if (!view || (view->viewMode() == QListView::ListMode && view->flow() == QListView::TopToBottom))
        return QStyledItemDelegate::sizeHint(option, index);
    return view->gridSize() - QSize(kCellGap, kCellGap);
}

void FileNameDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (option->decorationPosition != QStyleOptionViewItem::Top
        || !(option->features & QStyleOptionViewItem::WrapText))
        return;
    // The name stands centred under its icon, starting right below it.
    option->displayAlignment = Qt::AlignHCenter | Qt::AlignTop;
    // The style wraps only at blanks and elides the rest; pre-broken lines
    // let it show the whole name. Its text margin is the focus frame's + 1.
    const QStyle* style = option->widget ? option->widget->style() : QApplication::style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, option->widget) + 1;
    option->text = breakLines(option->text, option->font, option->rect.width() - 2 * margin, kNameLines);
}

QString FileNameDelegate::breakLines(const QString& text, const QFont& font, int width, int maxLines)
{
    if (width <= 0 || QFontMetrics(font).horizontalAdvance(text) <= width)
        return text;
    QTextLayout layout(text, font);
    QTextOption wrap;
    wrap.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(wrap);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines << text.mid(line.textStart(), line.textLength());
    }
    layout.endLayout();
    if (maxLines > 0 && lines.size() > maxLines) {
        // What does not fit goes into the last line, cut with an ellipsis.
        const QString rest = lines.mid(maxLines - 1).join(QString());
        lines = lines.mid(0, maxLines - 1);
        lines << QFontMetrics(font).elidedText(rest, Qt::ElideRight, width);
    }
    return lines.join(QChar::LineSeparator);
}
