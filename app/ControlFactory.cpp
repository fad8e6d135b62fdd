// The makers of named, placed controls.
#include "app/ControlFactory.h"

#include <QAction>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRect>
#include <QShortcut>

namespace zorvik {

namespace {

constexpr int kEditHeight = 21;      // every edit of the window
constexpr int kCheckBoxHeight = 17;  // check boxes and radio buttons
constexpr int kButtonWidth = 75;     // the product's standard button
constexpr int kButtonHeight = 25;
constexpr int kTelephoneWidth = 90;   // every telephone field
constexpr int kCaptionLeftSpare = 4;  // room between a left caption and its box

}  // namespace

void PrepareMenuBar(QMenuBar* bar) {
    bar->setObjectName(QStringLiteral("MainMenu1"));
    bar->setNativeMenuBar(false);
}

QMenu* MakeMenu(QMenuBar* bar, const char* name, const QString& title) {
    QMenu* menu = bar->addMenu(title);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

QAction* MakeMenuItem(QMenu* menu, const char* name, const QString& text) {
    QAction* item = menu->addAction(text);
    item->setObjectName(QString::fromLatin1(name));
    return item;
}

QShortcut* MakeShortcut(QWidget* window, const QKeySequence& keys) {
    return new QShortcut(keys, window);
}

void AddShortcut(QWidget* window, const QKeySequence& keys, QAction* item) {
    QObject::connect(MakeShortcut(window, keys), &QShortcut::activated, item, &QAction::trigger);
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int left, int top) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    label->adjustSize();
    // An accent on a capital ("Ś") may rise above the font's ascent, out of a label as tall as the
    // font. Such a label grows upwards by as much, with its text at the bottom: the letters stay
    // where they were and the accent shows.
    const QFontMetrics metrics(label->font());
    const int above = -metrics.tightBoundingRect(text).top() - metrics.ascent();
    if (above > 0) {
        label->setGeometry(left, top - above, label->width(), label->height() + above);
        label->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    }
    return label;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QRect& at) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(at);
    return label;
}

TCheckBox* MakeCheckBox(QWidget* parent, const char* name, const QString& caption, int left,
                        int top) {
    auto* box = new TCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(left, top, box->sizeHint().width(), kCheckBoxHeight);
    return box;
}

TCheckBox* MakeCheckBoxCaptionLeft(QWidget* parent, const char* name, const QString& caption,
                                   int left, int top) {
    auto* box = MakeCheckBox(parent, name, caption, left, top);
    box->SetCaptionLeft();
    box->resize(box->sizeHint().width() + kCaptionLeftSpare, kCheckBoxHeight);
    return box;
}

QRadioButton* MakeRadioButton(QWidget* parent, const char* name, const QString& caption, int left,
                              int top) {
    auto* button = new QRadioButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(left, top, button->sizeHint().width(), kCheckBoxHeight);
    return button;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, int left,
                        int top) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(left, top, kButtonWidth, kButtonHeight);
    return button;
}

TPanel* MakePanel(QWidget* parent, const char* name, int left, int top, int width, int height) {
    auto* panel = new TPanel(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setGeometry(left, top, width, height);
    return panel;
}

QGroupBox* MakeGroupBox(QWidget* parent, const char* name, const QString& caption, int left,
                        int top, int width, int height) {
    auto* group = new TGroupBox(caption, parent);
    group->setObjectName(QString::fromLatin1(name));
    group->setGeometry(left, top, width, height);
    return group;
}

TMaskEdit* MakeTelephoneEdit(QWidget* parent, const char* name, int left, int top,
                             bool switchedOn) {
    auto* edit = new TMaskEdit(QString::fromLatin1(kTelephoneMask), parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(left, top, kTelephoneWidth, kEditHeight);
    SwitchEdit(*edit, switchedOn);
    return edit;
}

TEdit* MakeEdit(QWidget* parent, const char* name, const QString& text, int left, int top,
                int width) {
    auto* edit = new TEdit(text, parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(left, top, width, kEditHeight);
    return edit;
}

SpinBox MakeSpinBox(QWidget* parent, const SpinBoxDesign& design) {
    TEdit* edit = MakeEdit(parent, design.edit, QString(), design.left, design.top, design.width);
    edit->setReadOnly(true);
    if (design.alignRight) {
        edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    SetEditColour(*edit, design.increment != 0);
    auto* upDown = new TUpDown(parent);
    upDown->setObjectName(QString::fromLatin1(design.upDown));
    upDown->SetMin(design.min);
    upDown->SetMax(design.max);
    upDown->SetIncrement(design.increment);
    upDown->SetAssociate(edit, design.side);
    upDown->SetPosition(design.position);
    return {edit, upDown};
}

SpinBox MakeSpinBox(QWidget* parent, const RangedSpinBoxDesign& design) {
    return MakeSpinBox(parent, SpinBoxDesign{design.edit, design.upDown, design.left, design.top,
                                             design.width, design.range.min, design.range.max,
                                             design.position, design.frozen ? 0 : design.range.step,
                                             design.side, design.alignRight});
}

}  // namespace zorvik
