// The bash completion script, written out from the command table.
#include "cli/Completion.h"

#include <set>

#include "cli/CommandTable.h"

namespace zorvik::cli {

namespace {

std::string Spellings(std::span<const OptionRule> options) {
    std::string words;
    for (const OptionRule& option : options) {
        words += (words.empty() ? "--" : " --") + std::string(option.name);
    }
    return words;
}

}  // namespace

std::string BashCompletion() {
    std::string commands;
    std::set<std::string> fileOptions;  // options whose value is a file
    std::set<std::string> siteOptions;  // options whose value is a site of the history
    std::set<std::string> global;       // a command's options that may stand before it
    for (const CommandEntry& command : CommandTable()) {
        commands += std::string(command.name) + " ";
        for (const OptionRule& option : command.options) {
            const std::string spelling = "--" + std::string(option.name);
            if (option.TakesValue() && option.name != "port") {
                std::set<std::string>& kind = option.name == "site" ? siteOptions : fileOptions;
                kind.insert(spelling);
                if (option.shortName != 0) {
                    kind.insert(std::string("-") + option.shortName);
                }
            }
            if (IsGlobalOption(option) && option.TakesValue()) {
                global.insert(spelling);
            }
        }
    }
    // Their values are the next word, so the command is not taken for one.
    std::string globalWithValue;
    std::string globalSpellings;
    for (const std::string& option : global) {
        globalWithValue += (globalWithValue.empty() ? "" : " | ") + option;
        globalSpellings += (globalSpellings.empty() ? "" : " ") + option;
    }
    commands += "help";
    const auto alternatives = [](const std::set<std::string>& options) {
        std::string pattern;
        for (const std::string& option : options) {
            pattern += (pattern.empty() ? "" : " | ") + option;
        }
        return pattern;
    };

    std::string script =
        R"(# Bash completion of zorvik-cli: its commands, each command's options, COM names and files.
# Made from the program's command table when it was built.
_zorvik_cli_files() {
    if declare -F _filedir >/dev/null; then
        _filedir "$@"
    else
        local IFS=$'\n'
        COMPREPLY+=($(compgen -f -- "$cur"))
    fi
}

_zorvik_cli() {
    local cur prev words cword
    if declare -F _init_completion >/dev/null; then
        _init_completion || return
    else
        # Sourced without bash-completion: the words as bash split them.
        words=("${COMP_WORDS[@]}")
        cword=$COMP_CWORD
        cur=${COMP_WORDS[COMP_CWORD]}
        prev=${COMP_WORDS[COMP_CWORD - 1]}
    fi
    COMPREPLY=()

    local commands=")" +
        commands + R"("
    local common=")" +
        Spellings(CommonOptions()) + R"("
    # The command is the first word that is neither an option nor an option's value.
    local command= i
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            )" +
        globalWithValue + R"() ((i++)) ;;
            -*) ;;
            *)
                command=${words[i]}
                break
                ;;
        esac
    done

    case $prev in
        -p | --port)
            # The COM names present, as 'zorvik-cli ports' lists them, in any case as the
            # program takes them, and device paths.
            local name
            for name in $(zorvik-cli ports 2>/dev/null | cut -f1); do
                [[ ${name,,} == "${cur,,}"* ]] && COMPREPLY+=("$name")
            done
            [[ $cur == /* ]] && _zorvik_cli_files
            return
            ;;
        )" +
        alternatives(siteOptions) + R"sh()
            # The sites the history's records name; a site may hold blanks.
            local IFS=$'\n'
            COMPREPLY=($(compgen -W "$(zorvik-cli history --json 2>/dev/null |
                sed -n '/^ *"site": "..*",$/{s/^ *"site": "//;s/",$//;p}' | sort -u)" -- "$cur"))
            return
            ;;
        )sh" +
        alternatives(fileOptions) + R"()
            _zorvik_cli_files
            return
            ;;
    esac

    if [[ -z $command ]]; then
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "--help --version $common )" +
        globalSpellings +
        R"(" -- "$cur"))
        else
            COMPREPLY=($(compgen -W "$commands" -- "$cur"))
        fi
        return
    fi

    local options operands=
    case $command in
)";
    for (const CommandEntry& command : CommandTable()) {
        script += "        " + std::string(command.name) + ")\n";
        script += "            options=\"" + Spellings(command.options) + "\"\n";
        switch (command.operands) {
            case OperandKind::Files:
                script += "            operands=files\n";
                break;
            case OperandKind::Firmware:
                script += "            operands=firmware\n";
                break;
            case OperandKind::HistoryRecords:
                script += "            operands=records\n";
                break;
            case OperandKind::None:
                break;
        }
        script += "            ;;\n";
    }
    script += R"sh(        help)
            [[ $prev == help ]] && COMPREPLY=($(compgen -W "$commands" -- "$cur"))
            return
            ;;
        *) return ;;
    esac

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options $common" -- "$cur"))
        return
    fi
    case $operands in
        files) _zorvik_cli_files ;;
        firmware) _zorvik_cli_files bin ;;
        records)
            # The ids of the history's records, under its header line.
            COMPREPLY=($(compgen -W "$(zorvik-cli history 2>/dev/null | tail -n +2 | cut -d' ' -f1)" \
                -- "$cur"))
            ;;
    esac
}
complete -F _zorvik_cli zorvik-cli
)sh";
    return script;
}

}  // namespace zorvik::cli
