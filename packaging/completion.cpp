#include "packaging/completion.h"

#include "calculators/registry.h"
#include "cli/core/arguments.h"
#include "cli/core/joined.h"
#include "cli/core/options.h"

#include <string_view>

namespace vantero::packaging {
namespace {

// The completion's logic; the tables before it say what there is to complete.
constexpr std::string_view completionFunction = R"BASH(
# The words before the cursor, split at blanks only, and the calculator named
# among them: the first that is neither an option nor an option's value.
_vantero() {
    local line=${COMP_LINE:0:COMP_POINT}
    local -a words
    read -ra words <<<"$line"
    if [[ -z $line || $line == *[[:blank:]] ]]; then
        words+=('')
    fi
    local count=${#words[@]}
    local cur=${words[count - 1]} prev=''
    if ((count > 1)); then
        prev=${words[count - 2]}
    fi
    local calculator='' ended='' word i
    for ((i = 1; i < count - 1; i++)); do
        word=${words[i]}
        if [[ -z $ended && $word == -- ]]; then
            ended=1
        elif [[ -z $ended && $word == -?* ]]; then
            if [[ $word != *=* && -n ${_vantero_value_options[$word]+set} ]]; then
                ((i++))
            fi
        elif [[ -z $calculator ]]; then
            calculator=$word
        fi
    done
    if [[ -n $calculator && " $_vantero_calculators $_vantero_commands " != *" $calculator "* ]]; then
        calculator=''
    fi

    COMPREPLY=()
    local candidates='' name
    if [[ -z $ended && -n $prev && -n ${_vantero_value_options[$prev]+set} ]]; then
        local -a completion
        read -ra completion <<<"${_vantero_value_options[$prev]}"
        case ${completion[0]} in
        files)
            _vantero_files "$cur" "${completion[@]:1}"
            return
            ;;
        project)
            local extension=_vantero_extension_$calculator
            _vantero_files "$cur" ${calculator:+"${!extension}"}
            return
            ;;
        setting)
            if [[ -n $calculator ]]; then
                local inputs=_vantero_inputs_$calculator choices=_vantero_choices_$calculator
                if [[ $cur == *=* ]]; then
                    name=${cur%%=*}
                    local values=_vantero_values_${calculator}_$name
                    # Values in either case, as vantero matches them.
                    local typed=${cur#*=}
                    if [[ " ${!choices} " == *" $name "* ]]; then
                        for word in ${!values}; do
                            if [[ ${word,,} == "${typed,,}"* ]]; then
                                candidates+=" $name=$word"
                            fi
                        done
                        cur=$name=
                    fi
                else
                    for word in ${!inputs} ${!choices}; do
                        candidates+=" $word="
                    done
                fi
            fi
            ;;
        swept)
            if [[ -n $calculator ]]; then
                local inputs=_vantero_inputs_$calculator choices=_vantero_choices_$calculator
                for word in ${!inputs}; do
                    candidates+=" $word="
                done
                candidates+=" ${!choices}"
            fi
            ;;
        spread)
            if [[ -n $calculator ]]; then
                local inputs=_vantero_inputs_$calculator
                if [[ $cur == *=* ]]; then
                    name=${cur%%=*}
                    if [[ " ${!inputs} " == *" $name "* && ${cur#*=} != *:* ]]; then
                        for word in normal: uniform: triangular:; do
                            candidates+=" $name=$word"
                        done
                    fi
                else
                    for word in ${!inputs}; do
                        candidates+=" $word="
                    done
                fi
            fi
            ;;
        calculator)
            candidates=$_vantero_calculators
            ;;
        part)
            # The parts the catalogue has, as vantero lists them.
            if [[ $cur == *=* ]]; then
                local kind=${cur%%=*} suffix=''
                if [[ $kind == fibre ]]; then
                    suffix=@
                fi
                if [[ " $_vantero_part_kinds " == *" $kind "* ]]; then
                    for name in $("${words[0]}" catalogue "$kind" 2>/dev/null | cut -f2); do
                        candidates+=" $kind=$name$suffix"
                    done
                fi
            else
                for word in $_vantero_part_kinds; do
                    candidates+=" $word="
                done
            fi
            ;;
        words)
            candidates=${completion[*]:1}
            ;;
        esac
    elif [[ -z $ended && $cur == -* ]]; then
        candidates="$_vantero_options --"
    elif [[ -z $calculator ]]; then
        candidates="$_vantero_calculators $_vantero_commands"
    elif [[ $calculator == catalogue ]]; then
        # vantero catalogue KIND NAME
        local listed=()
        for ((i = 1; i < count - 1; i++)); do
            if [[ ${words[i]} != -* && ${words[i - 1]} != --catalogue ]]; then
                listed+=("${words[i]}")
            fi
        done
        if ((${#listed[@]} == 1)); then
            candidates=$_vantero_part_kinds
        elif ((${#listed[@]} == 2)) && [[ " $_vantero_part_kinds " == *" ${listed[1]} "* ]]; then
            candidates=$("${words[0]}" catalogue "${listed[1]}" 2>/dev/null | cut -f2 | tr '\n' ' ')
        fi
    fi

    local IFS=$'\n'
    COMPREPLY=($(compgen -W "${candidates// /$'\n'}" -- "$cur"))
    # Bash replaces only what follows the last "=" of the word when "=" breaks
    # words, as it does by default.
    if [[ $cur == *=* && $COMP_WORDBREAKS == *=* ]]; then
        local typed=${cur%"${cur##*=}"}
        COMPREPLY=("${COMPREPLY[@]#"$typed"}")
    fi
    if [[ ${#COMPREPLY[@]} -eq 1 && ${COMPREPLY[0]} == *[=@:] ]]; then
        compopt -o nospace 2>/dev/null
    fi
    return 0
}

# File names after an option that takes a file: folders and the files whose
# names end in one of the extensions given, in either case; every file when
# none is given.
_vantero_files() {
    local cur=$1 file extension
    shift
    compopt -o filenames 2>/dev/null
    local IFS=$'\n'
    for file in $(compgen -f -- "$cur"); do
        if (($# == 0)) || [[ -d $file ]]; then
            COMPREPLY+=("$file")
            continue
        fi
        for extension; do
            if [[ ${file,,} == *"${extension,,}" ]]; then
                COMPREPLY+=("$file")
                break
            fi
        done
    done
}

complete -F _vantero vantero
)BASH";

// What the value of an option completes to, as the completion's logic reads
// it: a kind, then the extensions or words it lists.
std::string valueCompletion(const cli::OptionSpec& option) {
    using cli::Completion;
    std::string kind;
    switch (option.completion) {
    case Completion::Nothing:
        return "nothing";
    case Completion::Files:
        kind = "files";
        break;
    case Completion::ProjectFiles:
        return "project";
    case Completion::Setting:
        return "setting";
    case Completion::Swept:
        return "swept";
    case Completion::Spread:
        return "spread";
    case Completion::Calculator:
        return "calculator";
    case Completion::Part:
        return "part";
    case Completion::Words:
        kind = "words";
        break;
    }
    return option.completes.empty() ? kind : kind + " " + std::string(option.completes);
}

} // namespace

std::string bashCompletion(std::span<const cli::OptionSpec> options) {
    std::string script = "# Bash completion of vantero, made from the descriptions of its "
                         "calculators and its options.\n\n";
    // NAME='VALUE' (appended piece by piece: GCC 12 takes `"x" + string` for
    // an overlapping copy at -O3).
    const auto variable = [&script](std::string_view name, std::string_view value) {
        script += name;
        script += "='";
        script += value;
        script += "'\n";
    };
    variable("_vantero_calculators",
             cli::joined(
                 calculators(), [](const Calculator* c) { return c->name(); }, " "));
    variable("_vantero_commands", cli::catalogueCommand);
    variable("_vantero_part_kinds", "fibre transceiver");
    variable("_vantero_options", cli::joined(options, &cli::OptionSpec::name, " "));
    // The options that take a value, by name and alias, and what it completes to.
    script += "declare -gA _vantero_value_options=(\n";
    for (const cli::OptionSpec& option : options) {
        for (const std::string_view name : {option.name, option.alias}) {
            if (option.takesValue() && !name.empty()) {
                script += "    [";
                script += name;
                script += "]='" + valueCompletion(option) + "'\n";
            }
        }
    }
    script += ")\n";
    for (const Calculator* calculator : calculators()) {
        const std::string name(calculator->name());
        script += '\n';
        variable("_vantero_inputs_" + name,
                 cli::joined(calculator->inputs(), &InputDescription::name, " "));
        variable("_vantero_choices_" + name,
                 cli::joined(calculator->choices(), &ChoiceDescription::name, " "));
        variable("_vantero_extension_" + name, calculator->layout().extension);
        for (const ChoiceDescription& choice : calculator->choices()) {
            variable("_vantero_values_" + name + "_" + std::string(choice.name),
                     cli::joined(choice.values, std::identity{}, " "));
        }
    }
    script += completionFunction;
    return script;
}

} // namespace vantero::packaging
