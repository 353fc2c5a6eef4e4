#pragma once
// Editing in the birthday grid: a plain line editor for Name, Event, Month and Day whose new text the
// window may refuse, Enter reported to the window (it moves the cursor), and the Card and Gift check boxes
// drawn in the middle of their cells.

#include <QPointer>
#include <QStyledItemDelegate>
#include <functional>

namespace orv {

class BirthdayGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    // Returns false to refuse the new text (the window has told the user why).
    using Validator = std::function<bool(const QModelIndex& index, const QString& newText)>;

    explicit BirthdayGridDelegate(QObject* parent = nullptr);

    void setValidator(Validator validator) { validator_ = std::move(validator); }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The editor open now (null when none).
    QWidget* openEditor() const { return editor_; }
    // Ends the open edit; false when its text was refused (the cell then keeps its old text).
    bool commitOpenEdit();

signals:
    // Enter in an editor whose text was taken.
    void enterPressed();
    // A text was refused while the edit ended some other way (a click elsewhere): the cursor goes back.
    void editRefused(const QModelIndex& index);

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    Validator validator_;
    mutable QPointer<QWidget> editor_;
    mutable QPersistentModelIndex editorIndex_;
    mutable bool refused_ = false;
    bool quiet_ = false;  // inside commitOpenEdit or Enter: the caller handles a refusal itself
};

}  // namespace orv
