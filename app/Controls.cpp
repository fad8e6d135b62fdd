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

void SwitchEdit(QLineEdit& edit, bool switchedOn) {
    SetEditColour(edit, switchedOn);
    edit.setReadOnly(!switchedOn);
}

// ---------------------------------------------------------------------------------------------
// TCheckBox

TCheckBox::TCheckBox(const QString& caption, QWidget* parent) : QCheckBox(caption, parent) {
    setTristate(true);
    connect(this, &QCheckBox::stateChanged, this, [this](int) { emit Click(); });
}

CheckState TCheckBox::State() const {
    switch (checkState()) {
        case Qt::Checked:
            return CheckState::Checked;
        case Qt::PartiallyChecked:
            return CheckState::Grey;
        case Qt::Unchecked:
            break;
    }
    return CheckState::Unchecked;
}

void TCheckBox::SetState(CheckState state) {
    switch (state) {
        case CheckState::Checked:
            setCheckState(Qt::Checked);
            return;
        case CheckState::Grey:
            setCheckState(Qt::PartiallyChecked);
            return;
        case CheckState::Unchecked:
            setCheckState(Qt::Unchecked);
            return;
    }
}

void TCheckBox::SetCaptionLeft() {
    setLayoutDirection(Qt::RightToLeft);
}

void TCheckBox::nextCheckState() {
    // The user never reaches the grey state; leaving it always checks the box.
    setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
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
// TEdit

TEdit::TEdit(const QString& text, QWidget* parent) : QLineEdit(text, parent) {}

void TEdit::SetPasswordChar(QChar passwordChar) {
    passwordChar_ = passwordChar;
    // Changing the style sheet puts back the palette the edit had when a sheet was last set,
    // which would undo the look (switched on or off) given since then.
    const QPalette look = palette();
    if (passwordChar.isNull()) {
        setEchoMode(QLineEdit::Normal);
        setStyleSheet(QString());
    } else {
        setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: %1; "
                                     "lineedit-password-mask-delay: 0; }")
                          .arg(passwordChar.unicode()));
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

TUpDown::TUpDown(QWidget* parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
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
}

void TUpDown::SetAssociate(QLineEdit* edit, TUDAlignButton side) {
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
    const int left = side == TUDAlignButton::udLeft ? r.left() - kUpDownWidth : r.right() + 1;
    setGeometry(left, r.top(), kUpDownWidth, r.height());
    LayoutArrows();
    edit->installEventFilter(this);
    ShowPosition();
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

void TUpDown::SetPosition(int position) {
    position_ = std::clamp(position, min_, std::max(min_, max_));
    ShowPosition();
}

void TUpDown::ShowPosition() {
    if (edit_ == nullptr) {
        return;
    }
    // A plain whole number: 1000, never "1 000", so the value reads back as a number.
    const QString text = QString::number(position_);
    if (edit_->text() == text) {
        return;
    }
    edit_->setText(text);
    QAccessibleValueChangeEvent changed(edit_, position_);
    QAccessible::updateAccessibility(&changed);
}

bool TUpDown::UserStep(int direction) {
    emit ChangingEx(direction);
    const int before = position_;
    const long long wanted =
        static_cast<long long>(position_) + static_cast<long long>(direction) * increment_;
    position_ = static_cast<int>(std::clamp<long long>(wanted, min_, std::max(min_, max_)));
    ShowPosition();
    if (position_ == before) {
        return false;
    }
    emit Click();
    return true;
}

void TUpDown::UserSteps(int direction, int count) {
    for (int i = 0; i < count && UserStep(direction); ++i) {
    }
}

bool TUpDown::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_ && event->type() == QEvent::KeyPress) {
        // Home and End step until the position stops: the range's end, or a limit a rule sets.
        const int anyNumber = std::max(max_ - min_, 0) + 1;
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

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, int columns,
                         QWidget* parent)
    : TGroupBox(caption, parent), group_(new QButtonGroup(this)), columns_(std::max(columns, 1)) {
    for (int i = 0; i < items.size(); ++i) {
        auto* item = new QRadioButton(items[i], this);
        item->setObjectName(QStringLiteral("Item%1").arg(i));
        group_->addButton(item, i);
        items_.push_back(item);
    }
    connect(group_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked) {
            Follow();
        }
    });
}

QRadioButton* TRadioGroup::Item(int index) const {
    return index >= 0 && index < Count() ? items_[static_cast<std::size_t>(index)] : nullptr;
}

void TRadioGroup::SetItemIndex(int index) {
    index = std::clamp(index, -1, Count() - 1);
    if (index == itemIndex_) {
        return;
    }
    if (index >= 0) {
        Item(index)->setChecked(true);
        return;
    }
    // An exclusive group never lets its last checked item go; loosen it for the moment.
    group_->setExclusive(false);
    Item(itemIndex_)->setChecked(false);
    group_->setExclusive(true);
    Follow();
}

void TRadioGroup::Follow() {
    const int index = group_->checkedId();
    if (index != itemIndex_) {
        itemIndex_ = index;
        emit Click();
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

TTabControl::TTabControl(const QStringList& tabs, QWidget* parent)
    : QWidget(parent), group_(new QButtonGroup(this)) {
    const QFontMetrics metrics(font());
    int left = 0;
    for (int i = 0; i < tabs.size(); ++i) {
        auto* tab = new TPageTab(tabs[i], this);
        tab->setObjectName(QStringLiteral("Tab%1").arg(i));
        tab->setCheckable(true);
        tab->setFlat(true);
        tab->setFocusPolicy(Qt::TabFocus);
        const int width = metrics.horizontalAdvance(tabs[i]) + 2 * kTabTextPadding;
        tab->setGeometry(left, 0, width, kTabHeight);
        left += width + 3;
        group_->addButton(tab, i);
        tabs_.push_back(tab);
    }
    if (!tabs_.empty()) {
        tabs_.front()->setChecked(true);
    }
    connect(group_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked && id != tabIndex_) {
            tabIndex_ = id;
            emit Change();
        }
    });
}

QAbstractButton* TTabControl::Tab(int index) const {
    return index >= 0 && index < static_cast<int>(tabs_.size())
               ? tabs_[static_cast<std::size_t>(index)]
               : nullptr;
}

void TTabControl::SetTabIndex(int index) {
    if (QAbstractButton* tab = Tab(index)) {
        tab->setChecked(true);
    }
}

// ---------------------------------------------------------------------------------------------
// TListBox

TListBox::TListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Rows longer than the list are cut at its edge, as in the product; no sideways scrolling.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void TListBox::mousePressEvent(QMouseEvent* event) {
    QListWidget::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && itemAt(event->position().toPoint()) != nullptr) {
        emit Click();
    }
}

void TListBox::keyPressEvent(QKeyEvent* event) {
    const int before = currentRow();
    QListWidget::keyPressEvent(event);
    if (currentRow() != before && currentRow() >= 0) {
        emit Click();
    }
}

// ---------------------------------------------------------------------------------------------
// TPanel

TPanel::TPanel(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
}

}  // namespace zorvik
