#include "store/GameTexts.h"

#include <utility>

namespace zelvora {

bool GameTextFiles::Refresh() {
    bool changed = false;
    QStringList problems;
    // Within a folder history.xml is taken over history.dat; a folder earlier in the list wins
    // over both, being the user's own choice.
    const std::pair<TextIndex*, QStringList> files[] = {
        {&history_, {QStringLiteral("history.xml"), QStringLiteral("history.dat")}},
        {&info_, {QStringLiteral("mameinfo.dat")}},
        {&commands_, {QStringLiteral("command.dat")}},
    };
    for (const auto& [index, names] : files) {
        if (index->Refresh(FindFirstFile(folders_, names).path)) {
            changed = true;
            problems << index->Problem();
        }
    }
    if (changed) {
        problems.removeAll(QString());
        problem_ = problems.join(QLatin1Char('\n'));
    }
    return changed;
}

GameTexts GameTextFiles::Texts(const QString& rom, const QString& parent) const {
    const auto text = [&](const TextIndex& index) {
        QString own = index.Text(rom);
        return own.isEmpty() && !parent.isEmpty() ? index.Text(parent) : own;
    };
    return {text(history_), text(info_), text(commands_)};
}

QString GameTextFiles::TakeProblem() {
    return std::exchange(problem_, QString());
}

} // namespace zelvora
