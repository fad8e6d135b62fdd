// Qt's own texts as the program shows them: Polish whatever the system's language.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/QtDialogs.h"

namespace zorvik::testing {
namespace {

// Runs `look` on the modal box or dialog `show` puts up, as soon as it is up; `look` closes it.
void WhileModal(const std::function<void()>& show, const std::function<void(QWidget&)>& look) {
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            poll.stop();
            look(*modal);
        }
    });
    poll.start();
    show();
}

TEST(QtPolish, TheCloseQuestionAnswersTakOrNieAndAnEditsContextMenuIsPolish) {
    QtDialogs dialogs;
    QStringList buttons;
    int answer = 0;
    WhileModal(
        [&] {
            answer = dialogs.MessageBox("Czy na pewno chcesz zakończyć działanie programu?",
                                        "Pytanie", kMbQuestion);
        },
        [&](QWidget& box) {
            for (QAbstractButton* button : box.findChildren<QAbstractButton*>()) {
                buttons.append(button->text());
            }
            static_cast<QMessageBox&>(box).button(QMessageBox::No)->click();
        });
    buttons.sort();
    EXPECT_EQ(buttons, (QStringList{QStringLiteral("&Nie"), QStringLiteral("&Tak")}));
    EXPECT_EQ(answer, kIdNo);

    QLineEdit edit(QStringLiteral("9466"));
    const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList items;
    for (QAction* action : menu->actions()) {
        if (!action->isSeparator()) {
            items.append(action->text().section(u'\t', 0, 0));  // without the shortcut
        }
    }
    EXPECT_EQ(items, (QStringList{QStringLiteral("&Cofnij"), QStringLiteral("&Przywróć"),
                                  QStringLiteral("W&ytnij"), QStringLiteral("S&kopiuj"),
                                  QStringLiteral("&Wklej"), QStringLiteral("Usuń"),
                                  QStringLiteral("Zaznacz wszystko")}));
}

}  // namespace
}  // namespace zorvik::testing
