#include "events/birthday_grid_delegate.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

#include "common/ui_fonts.h"
#include "events/birthday_list.h"
#include "events/birthday_table_model.h"

namespace orv {
namespace {

bool isCheckColumn(int column) { return column == BirthdayList::colCard || column == BirthdayList::colGift; }

}  // namespace

BirthdayGridDelegate::BirthdayGridDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

QWidget* BirthdayGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                            const QModelIndex& index) const {
    auto* edit = new QLineEdit(parent);
    edit->setFrame(false);
    edit->setFont(arialFont(BirthdayTableModel::kDataFontPixels));
    edit->setAlignment(index.column() == BirthdayList::colMonth || index.column() == BirthdayList::colDay
                           ? Qt::AlignRight | Qt::AlignVCenter
                           : Qt::AlignLeft | Qt::AlignVCenter);
    QPalette p = edit->palette();
    p.setColor(QPalette::Base, BirthdayTableModel::kDataBackground);
    p.setColor(QPalette::Text, Qt::blue);
    edit->setPalette(p);
    editor_ = edit;
    editorIndex_ = index;
    return edit;
}

void BirthdayGridDelegate::destroyEditor(QWidget* editor, const QModelIndex& index) const {
    if (editor == editor_) editor_ = nullptr;
    QStyledItemDelegate::destroyEditor(editor, index);
}

void BirthdayGridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    if (auto* edit = qobject_cast<QLineEdit*>(editor)) edit->setText(index.data(Qt::EditRole).toString());
}

void BirthdayGridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const {
    const auto* edit = qobject_cast<QLineEdit*>(editor);
    if (!edit) return;
    const QString text = edit->text();
    // An edit that leaves the text as it was is not checked.
    if (text == index.data(Qt::EditRole).toString()) return;
    if (validator_ && !validator_(index, text)) {
        refused_ = true;
        if (!quiet_) emit const_cast<BirthdayGridDelegate*>(this)->editRefused(index);
        return;
    }
    model->setData(index, text, Qt::EditRole);
}

bool BirthdayGridDelegate::commitOpenEdit() {
    QWidget* editor = editor_;
    if (!editor) return true;
    quiet_ = true;
    refused_ = false;
    emit commitData(editor);
    quiet_ = false;
    const bool taken = !refused_;
    emit closeEditor(editor, QAbstractItemDelegate::NoHint);
    return taken;
}

bool BirthdayGridDelegate::eventFilter(QObject* object, QEvent* event) {
    auto* editor = qobject_cast<QWidget*>(object);
    if (editor && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            quiet_ = true;
            refused_ = false;
            emit commitData(editor);
            quiet_ = false;
            if (refused_) {
                // The old text comes back and the cursor stays in the cell.
                setEditorData(editor, editorIndex_);
                if (auto* edit = qobject_cast<QLineEdit*>(editor)) edit->selectAll();
                return true;
            }
            emit closeEditor(editor, QAbstractItemDelegate::NoHint);
            emit enterPressed();
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

void BirthdayGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    if (!isCheckColumn(index.column())) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const bool checked = opt.checkState == Qt::Checked;
    opt.features &= ~QStyleOptionViewItem::HasCheckIndicator;
    opt.text.clear();
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    // The check box sits in the middle of the cell.
    QStyleOptionButton box;
    box.state = QStyle::State_Enabled | (checked ? QStyle::State_On : QStyle::State_Off);
    const QSize size(style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, widget),
                     style->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, widget));
    box.rect = QRect(QPoint(0, 0), size);
    box.rect.moveCenter(option.rect.center());
    style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, painter, widget);
}

}  // namespace orv
