// The window's own controls on Qt, and the two looks of a setting.
#include "app/Controls.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QButtonGroup>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QToolButton>
#include <algorithm>

namespace zorvik {

namespace {

constexpr QRgb kGreyMarkColour = 0xA0A0A0u;          // the check mark of a greyed check box
constexpr QRgb kGreyBoxColour = 0xE3E3E3u;           // the inside of a greyed check box
constexpr int kUpDownWidth = 16;                     // width of the arrows beside their edit
constexpr int kAutoRepeatDelayMs = 400;              // holding an arrow starts repeating after this
constexpr int kAutoRepeatIntervalMs = 80;            // and then steps this often
constexpr int kPageSteps = 10;                       // PageUp and PageDown: this many arrow steps
const char* const kUpDownProperty = "zorvikUpDown";  // on an edit: the up-down bound to it
constexpr int kTabHeight = 22;                       // height of a flat tab button
constexpr int kTabTextPadding = 16;                  // room left and right of a tab's caption
constexpr int kGroupCaptionLeft = 6;                 // where a group box's caption breaks its frame

}  // namespace

void SetEditColour(QLineEdit& edit, bool switchedOn) {
    QPalette palette = edit.palette();
    palette.setColor(QPalette::Base, QColor(switchedOn ? kWindowColour : kButtonFaceColour));
    edit.setPalette(palette);
}

QString ToQt(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

std::u16string FromQt(const QString& text) {
    return text.toStdU16String();
}

void Follow(QWidget& widget, form::TControl& model, std::function<void()> show) {
    auto update = [&widget, &model, show = std::move(show)] {
        widget.setEnabled(model.Enabled());
        // Only a change is passed on: a control not hidden by the program shows with its window.
        const bool hidden = widget.testAttribute(Qt::WA_WState_ExplicitShowHide) &&
                            widget.testAttribute(Qt::WA_WState_Hidden);
        if (hidden == model.Visible()) {
            widget.setVisible(model.Visible());
        }
        if (show) {
            show();
        }
    };
    update();
    model.SetView(std::move(update));
    // The window's models outlive its widgets; a widget that goes first stops being told.
    QObject::connect(&widget, &QObject::destroyed, [&model] { model.SetView({}); });
}

// ---------------------------------------------------------------------------------------------
// TCheckBox

TCheckBox::TCheckBox(form::TCheckBox& model, QWidget* parent)
    : QCheckBox(ToQt(model.Caption()), parent), model_(model) {
    setTristate(true);
    if (model.CaptionLeft()) {
        setLayoutDirection(Qt::RightToLeft);
    }
    // A change made on the box itself (a screen reader's toggle) is the user's click.
    connect(this, &QCheckBox::stateChanged, this, [this](int) {
        if (!showing_) {
            model_.UserClick();
            Show();
        }
    });
    Follow(*this, model_, [this] { Show(); });
}

void TCheckBox::Show() {
    showing_ = true;
    setText(ToQt(model_.Caption()));
    switch (model_.State()) {
        case CheckState::Checked:
            setCheckState(Qt::Checked);
            break;
        case CheckState::Grey:
            setCheckState(Qt::PartiallyChecked);
            break;
        case CheckState::Unchecked:
            setCheckState(Qt::Unchecked);
            break;
    }
    showing_ = false;
}

void TCheckBox::nextCheckState() {
    model_.UserClick();
    Show();
}

void TCheckBox::paintEvent(QPaintEvent* event) {
    if (checkState() != Qt::PartiallyChecked) {
        QCheckBox::paintEvent(event);
        return;
    }
    // Greyed: a grey check mark in a grey box, the caption as usual.
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.state &= ~QStyle::State_NoChange;
    option.state |= QStyle::State_On;
    option.palette.setColor(QPalette::Text, QColor(kGreyMarkColour));
    option.palette.setColor(QPalette::Base, QColor(kGreyBoxColour));
    painter.drawControl(QStyle::CE_CheckBox, option);
}

// ---------------------------------------------------------------------------------------------
// TRadioButton

TRadioButton::TRadioButton(form::TRadioButton& model, QWidget* parent)
    : QRadioButton(ToQt(model.Caption()), parent), model_(model) {
    // The model unchecks the siblings; Qt's own exclusivity would do it behind the model's back.
    setAutoExclusive(false);
    // Checked on the button itself (a screen reader's press) is the user's click.
    connect(this, &QRadioButton::toggled, this, [this](bool checked) {
        if (!showing_ && checked) {
            model_.UserClick();
        }
        Show();
    });
    Follow(*this, model_, [this] { Show(); });
}

void TRadioButton::Show() {
    showing_ = true;
    setText(ToQt(model_.Caption()));
    setChecked(model_.Checked());
    showing_ = false;
}

void TRadioButton::nextCheckState() {
    model_.UserClick();
    Show();
}

// ---------------------------------------------------------------------------------------------
// TEdit

TEdit::TEdit(form::TEdit& model, QWidget* parent) : QLineEdit(parent), model_(model) {
    // Typing (or any other change of the text) reaches the model; the model's text, cut to its
    // length, comes back through Show.
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
        model_.SetText(FromQt(text));
        Show();
    });
    Follow(*this, model_, [this] { Show(); });
}

void TEdit::Show() {
    if (model_.MaxLength() > 0) {
        setMaxLength(model_.MaxLength());
    }
    setAlignment(model_.AlignRight() ? Qt::AlignRight | Qt::AlignVCenter
                                     : Qt::AlignLeft | Qt::AlignVCenter);
    setReadOnly(model_.ReadOnly());
    SetEditColour(*this, model_.SwitchedOn());
    ShowPasswordChar();
    const QString text = ToQt(model_.Text());
    if (this->text() != text) {
        setText(text);
    }
}

void TEdit::ShowPasswordChar() {
    const char16_t passwordChar = model_.PasswordChar();
    if (passwordChar == shownPasswordChar_) {
        return;
    }
    shownPasswordChar_ = passwordChar;
    // Changing the style sheet puts back the palette the edit had when a sheet was last set,
    // which would undo the look (switched on or off) given since then.
    const QPalette look = palette();
    if (passwordChar == 0) {
        setEchoMode(QLineEdit::Normal);
        setStyleSheet(QString());
    } else {
        setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: %1; "
                                     "lineedit-password-mask-delay: 0; }")
                          .arg(static_cast<int>(passwordChar)));
        setEchoMode(QLineEdit::Password);
    }
    setPalette(look);
}

// ---------------------------------------------------------------------------------------------
// TUpDown

namespace {

// The edit of an up-down as assistive technology sees it: a spin button whose value is the
// position, with the limits and the step of its arrows, and actions that step as they do. The
// value set by a screen reader is reached by arrow steps, so the rules see each one.
class SpinEditAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    SpinEditAccessible(QLineEdit* edit, TUpDown* upDown)
        : QAccessibleWidget(edit, QAccessible::SpinBox), upDown_(upDown) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    [[nodiscard]] QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value) {
            return QString::number(upDown_->Position());
        }
        return QAccessibleWidget::text(kind);
    }

    [[nodiscard]] QVariant currentValue() const override { return upDown_->Position(); }
    [[nodiscard]] QVariant minimumValue() const override { return upDown_->Min(); }
    [[nodiscard]] QVariant maximumValue() const override { return upDown_->Max(); }
    [[nodiscard]] QVariant minimumStepSize() const override { return upDown_->Increment(); }
    void setCurrentValue(const QVariant& value) override {
        const int wanted = value.toInt();
        const int direction = wanted > upDown_->Position() ? +1 : -1;
        const int anyNumber = std::max(upDown_->Max() - upDown_->Min(), 0) + 1;
        for (int i = 0; i < anyNumber && (wanted - upDown_->Position()) * direction > 0; ++i) {
            const int before = upDown_->Position();
            upDown_->UserSteps(direction, 1);
            if (upDown_->Position() == before) {
                break;
            }
        }
    }

    [[nodiscard]] QStringList actionNames() const override {
        return QStringList{increaseAction(), decreaseAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == increaseAction() || action == decreaseAction()) {
            upDown_->UserSteps(action == increaseAction() ? +1 : -1, 1);
        } else {
            QAccessibleWidget::doAction(action);
        }
    }

private:
    QPointer<TUpDown> upDown_;
};

// Qt's accessibility cache owns what the factory makes.
QAccessibleInterface* SpinEditFactory(const QString& /*className*/, QObject* object) {
    auto* edit = qobject_cast<QLineEdit*>(object);
    TUpDown* upDown = TUpDown::Of(edit);
    return upDown != nullptr ? new SpinEditAccessible(edit, upDown) : nullptr;
}

}  // namespace

TUpDown::TUpDown(form::TUpDown& model, QWidget* parent)
    : QWidget(parent),
      model_(model),
      up_(new QToolButton(this)),
      down_(new QToolButton(this)),
      shownPosition_(model.Position()) {
    static const bool installed = [] {
        QAccessible::installFactory(SpinEditFactory);
        return true;
    }();
    (void)installed;
    for (QToolButton* arrow : {up_, down_}) {
        arrow->setArrowType(arrow == up_ ? Qt::UpArrow : Qt::DownArrow);
        arrow->setAutoRepeat(true);
        arrow->setAutoRepeatDelay(kAutoRepeatDelayMs);
        arrow->setAutoRepeatInterval(kAutoRepeatIntervalMs);
        arrow->setFocusPolicy(Qt::NoFocus);
    }
    up_->setObjectName(QStringLiteral("Up"));
    down_->setObjectName(QStringLiteral("Down"));
    connect(up_, &QToolButton::clicked, this, [this] { UserSteps(+1, 1); });
    connect(down_, &QToolButton::clicked, this, [this] { UserSteps(-1, 1); });
    resize(kUpDownWidth, 21);
    LayoutArrows();
    Follow(*this, model_, [this] { Show(); });
}

void TUpDown::SetAssociate(QLineEdit* edit) {
    edit_ = edit;
    edit->setProperty(kUpDownProperty, QVariant::fromValue(static_cast<QObject*>(this)));
    // Qt describes a widget as soon as its state changes, screen reader or not (setReadOnly, the
    // colour), so the edit already has a plain description that a screen reader starting later
    // would be given; dropping it has the next question describe the edit as a spin button.
    QAccessibleInterface* described = QAccessible::queryAccessibleInterface(edit);
    if (described != nullptr && dynamic_cast<SpinEditAccessible*>(described) == nullptr) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(described));
    }
    const QRect r = edit->geometry();
    const int left =
        model_.AlignButton() == TUDAlignButton::udLeft ? r.left() - kUpDownWidth : r.right() + 1;
    setGeometry(left, r.top(), kUpDownWidth, r.height());
    LayoutArrows();
    edit->installEventFilter(this);
}

TUpDown* TUpDown::Of(const QObject* edit) {
    return edit != nullptr
               ? qobject_cast<TUpDown*>(edit->property(kUpDownProperty).value<QObject*>())
               : nullptr;
}

void TUpDown::resizeEvent(QResizeEvent* /*event*/) {
    LayoutArrows();
}

void TUpDown::LayoutArrows() {
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

void TUpDown::Show() {
    // The edit shows the position through its own model; a screen reader hears the new value.
    if (edit_ == nullptr || model_.Position() == shownPosition_) {
        return;
    }
    shownPosition_ = model_.Position();
    QAccessibleValueChangeEvent changed(edit_, shownPosition_);
    QAccessible::updateAccessibility(&changed);
}

bool TUpDown::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_ && event->type() == QEvent::KeyPress) {
        // Home and End step until the position stops: the range's end, or a limit a rule sets.
        const int anyNumber = std::max(Max() - Min(), 0) + 1;
        switch (static_cast<const QKeyEvent*>(event)->key()) {
            case Qt::Key_Up:
                UserSteps(+1, 1);
                return true;
            case Qt::Key_Down:
                UserSteps(-1, 1);
                return true;
            case Qt::Key_PageUp:
                UserSteps(+1, kPageSteps);
                return true;
            case Qt::Key_PageDown:
                UserSteps(-1, kPageSteps);
                return true;
            case Qt::Key_End:
                UserSteps(+1, anyNumber);
                return true;
            case Qt::Key_Home:
                UserSteps(-1, anyNumber);
                return true;
            default:
                break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// TGroupBox

TGroupBox::TGroupBox(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {}

void TGroupBox::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const QRect frame = rect().adjusted(0, metrics.height() / 2, -1, -1);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(frame.adjusted(1, 1, 0, 0));
    if (title().isEmpty()) {
        return;
    }
    const QRect caption(kGroupCaptionLeft, 0, metrics.horizontalAdvance(title()) + 4,
                        metrics.height());
    painter.fillRect(caption, palette().color(QPalette::Window));
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(caption, Qt::AlignCenter, title());
}

// ---------------------------------------------------------------------------------------------
// TRadioGroup

TRadioGroup::TRadioGroup(form::TRadioGroup& model, QWidget* parent)
    : TGroupBox(ToQt(model.Caption()), parent),
      model_(model),
      columns_(std::max(model.Columns(), 1)) {
    const std::vector<std::u16string>& items = model.Items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        auto* item = new QRadioButton(ToQt(items[i]), this);
        item->setObjectName(QStringLiteral("Item%1").arg(i));
        // The model keeps one item selected; each click is a pick of the model's.
        item->setAutoExclusive(false);
        const int index = static_cast<int>(i);
        connect(item, &QRadioButton::clicked, this, [this, index] {
            model_.UserSelect(index);
            Show();
        });
        items_.push_back(item);
    }
    Follow(*this, model_, [this] { Show(); });
}

QRadioButton* TRadioGroup::Item(int index) const {
    return index >= 0 && index < Count() ? items_[static_cast<std::size_t>(index)] : nullptr;
}

void TRadioGroup::Show() {
    setTitle(ToQt(model_.Caption()));
    for (int i = 0; i < Count(); ++i) {
        Item(i)->setChecked(i == model_.ItemIndex());
    }
}

void TRadioGroup::resizeEvent(QResizeEvent* event) {
    TGroupBox::resizeEvent(event);
    Arrange();
}

void TRadioGroup::changeEvent(QEvent* event) {
    TGroupBox::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        Arrange();
    }
}

void TRadioGroup::Arrange() {
    // Items share the room below the caption evenly, column by column, as the product lays them.
    if (items_.empty()) {
        return;
    }
    const int textHeight = QFontMetrics(font()).height();
    const int perColumn = (Count() + columns_ - 1) / columns_;
    const int itemWidth = (width() - 10) / columns_;
    const int room = height() - textHeight - 5;
    const int itemHeight = room / perColumn;
    const int topMargin = textHeight + 1 + (room % perColumn) / 2;
    for (int i = 0; i < Count(); ++i) {
        items_[static_cast<std::size_t>(i)]->setGeometry((i / perColumn) * itemWidth + 8,
                                                         (i % perColumn) * itemHeight + topMargin,
                                                         itemWidth, itemHeight);
    }
}

// ---------------------------------------------------------------------------------------------
// TPageTab

namespace {

// A page tab as assistive technology sees it: its caption, selected while its page is shown,
// and a press action that shows its page.
class PageTabAccessible : public QAccessibleWidget {
public:
    explicit PageTabAccessible(TPageTab* tab) : QAccessibleWidget(tab, QAccessible::PageTab) {}

    [[nodiscard]] QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name && Tab()->accessibleName().isEmpty()) {
            return Tab()->text();
        }
        return QAccessibleWidget::text(kind);
    }

    [[nodiscard]] QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.selectable = true;
        state.selected = Tab()->isChecked();
        return state;
    }

    [[nodiscard]] QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override {
        if (action == pressAction()) {
            Tab()->click();
        } else {
            QAccessibleWidget::doAction(action);
        }
    }

private:
    [[nodiscard]] TPageTab* Tab() const { return static_cast<TPageTab*>(widget()); }
};

// Qt's accessibility cache owns what the factory makes.
QAccessibleInterface* PageTabFactory(const QString& /*className*/, QObject* object) {
    if (auto* tab = qobject_cast<TPageTab*>(object)) {
        return new PageTabAccessible(tab);
    }
    return nullptr;
}

}  // namespace

TPageTab::TPageTab(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
    static const bool installed = [] {
        QAccessible::installFactory(PageTabFactory);
        return true;
    }();
    (void)installed;
}

// ---------------------------------------------------------------------------------------------
// TTabControl

TTabControl::TTabControl(form::TTabControl& model, QWidget* parent)
    : QWidget(parent), model_(model) {
    const QFontMetrics metrics(font());
    int left = 0;
    const std::vector<std::u16string>& tabs = model.Tabs();
    for (std::size_t i = 0; i < tabs.size(); ++i) {
        const QString caption = ToQt(tabs[i]);
        auto* tab = new TPageTab(caption, this);
        tab->setObjectName(QStringLiteral("Tab%1").arg(i));
        tab->setCheckable(true);
        tab->setFlat(true);
        tab->setFocusPolicy(Qt::TabFocus);
        const int width = metrics.horizontalAdvance(caption) + 2 * kTabTextPadding;
        tab->setGeometry(left, 0, width, kTabHeight);
        left += width + 3;
        const int index = static_cast<int>(i);
        connect(tab, &QPushButton::clicked, this, [this, index] {
            model_.UserSelect(index);
            Show();
        });
        tabs_.push_back(tab);
    }
    Follow(*this, model_, [this] { Show(); });
}

QAbstractButton* TTabControl::Tab(int index) const {
    return index >= 0 && index < static_cast<int>(tabs_.size())
               ? tabs_[static_cast<std::size_t>(index)]
               : nullptr;
}

void TTabControl::Show() {
    for (int i = 0; i < Count(); ++i) {
        Tab(i)->setChecked(i == model_.TabIndex());
    }
}

// ---------------------------------------------------------------------------------------------
// TListBox

TListBox::TListBox(form::TListBox& model, QWidget* parent) : QListWidget(parent), model_(model) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Rows longer than the list are cut at its edge, as in the product; no sideways scrolling.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (const std::u16string& row : model.Items()) {
        addItem(ToQt(row));
    }
    Follow(*this, model_, [this] { Show(); });
}

void TListBox::Show() {
    if (currentRow() != model_.ItemIndex()) {
        setCurrentRow(model_.ItemIndex());
    }
}

void TListBox::mousePressEvent(QMouseEvent* event) {
    QListWidget::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && itemAt(event->position().toPoint()) != nullptr) {
        model_.UserSelect(currentRow());
    }
}

void TListBox::keyPressEvent(QKeyEvent* event) {
    const int before = currentRow();
    QListWidget::keyPressEvent(event);
    if (currentRow() != before && currentRow() >= 0) {
        model_.UserSelect(currentRow());
    }
}

// ---------------------------------------------------------------------------------------------
// TPanel

TPanel::TPanel(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
}

}  // namespace zorvik
