// Focus order by position, and accessible names.
#include "app/FocusOrder.h"

#include <QToolButton>
#include <QWidget>
#include <algorithm>

#include "app/Controls.h"

namespace zorvik {

namespace {

const QString kUpSuffix = QStringLiteral(": w górę");
const QString kDownSuffix = QStringLiteral(": w dół");

void Visit(QWidget* widget, std::vector<QWidget*>& chain);

// Splits `items` where no item crosses a line across the area: horizontal lines when `byTop`,
// vertical ones otherwise. One group back means no such line exists.
std::vector<std::vector<QWidget*>> Split(std::vector<QWidget*> items, bool byTop) {
    const auto start = [byTop](const QWidget* w) { return byTop ? w->y() : w->x(); };
    const auto end = [byTop](const QWidget* w) {
        return byTop ? w->y() + w->height() : w->x() + w->width();
    };
    std::stable_sort(items.begin(), items.end(),
                     [&](const QWidget* a, const QWidget* b) { return start(a) < start(b); });
    std::vector<std::vector<QWidget*>> groups;
    int reach = 0;
    for (QWidget* item : items) {
        if (groups.empty() || start(item) >= reach) {
            groups.emplace_back();
            reach = end(item);
        }
        groups.back().push_back(item);
        reach = std::max(reach, end(item));
    }
    return groups;
}

void Cut(const std::vector<QWidget*>& items, std::vector<QWidget*>& chain) {
    if (items.size() > 1) {
        for (const bool byTop : {true, false}) {
            const auto groups = Split(items, byTop);
            if (groups.size() > 1) {
                for (const auto& group : groups) {
                    Cut(group, chain);
                }
                return;
            }
        }
    }
    // Controls that overlap both ways: top to bottom, then left to right.
    std::vector<QWidget*> sorted = items;
    std::stable_sort(sorted.begin(), sorted.end(), [](const QWidget* a, const QWidget* b) {
        return a->y() != b->y() ? a->y() < b->y() : a->x() < b->x();
    });
    for (QWidget* item : sorted) {
        Visit(item, chain);
    }
}

void Visit(QWidget* widget, std::vector<QWidget*>& chain) {
    if ((widget->focusPolicy() & Qt::TabFocus) != 0) {
        chain.push_back(widget);
        return;
    }
    // A panel, a group or the like: its own controls in their order.
    std::vector<QWidget*> children;
    for (QWidget* child : widget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!child->isWindow()) {
            children.push_back(child);
        }
    }
    Cut(children, chain);
}

}  // namespace

void NameControls(std::initializer_list<ControlName> names) {
    for (const ControlName& entry : names) {
        if (auto* upDown = qobject_cast<TUpDown*>(entry.control)) {
            if (QWidget* edit = upDown->Associate()) {
                edit->setAccessibleName(entry.name);
            }
            upDown->UpButton()->setAccessibleName(entry.name + kUpSuffix);
            upDown->DownButton()->setAccessibleName(entry.name + kDownSuffix);
            continue;
        }
        entry.control->setAccessibleName(entry.name);
    }
}

std::vector<QWidget*> FocusByLayout(const std::vector<QWidget*>& areas) {
    std::vector<QWidget*> chain;
    Cut(areas, chain);
    return chain;
}

void SetFocusChain(const std::vector<QWidget*>& chain) {
    for (std::size_t i = 1; i < chain.size(); ++i) {
        QWidget::setTabOrder(chain[i - 1], chain[i]);
    }
}

}  // namespace zorvik
