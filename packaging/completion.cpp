#include "packaging/completion.h"

#include "calculators/registry.h"
#include "cli/core/arguments.h"

#include <string_view>
#include <vector>

namespace vantero::packaging {
namespace {

template <typename Items, typename Name> std::string words(const Items& items, Name name) {
    std::string list;
    for (const auto& item : items) {
        if (!list.empty()) {
            list += ' ';
        }
        list += name(item);
    }
    return list;
}

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
            if [[ $word != *=* && " $_vantero_value_options " == *" $word "* ]]; then
                ((i++))
            fi
        elif [[ -z $calculator ]]; then
            calculator=$word
        fi
    done
    if [[ -n $calculator && " $_vantero_calculators " != *" $calculator "* ]]; then
        calculator=''
    fi

    COMPREPLY=()
    local candidates='' name
    if [[ -z $ended ]]; then
        case $prev in
        --open | --save | --csv | --plot)
            _vantero_files "$cur" "$prev" "$calculator"
            return
            ;;
        --set)
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
        --sweep)
            if [[ -n $calculator ]]; then
                local inputs=_vantero_inputs_$calculator choices=_vantero_choices_$calculator
                for word in ${!inputs}; do
                    candidates+=" $word="
                done
                candidates+=" ${!choices}"
            fi
            ;;
        *)
            if [[ $cur == -* ]]; then
                candidates="$_vantero_options --"
            elif [[ -z $calculator ]]; then
                candidates=$_vantero_calculators
            fi
            ;;
        esac
    elif [[ -z $calculator ]]; then
        candidates=$_vantero_calculators
    fi

    local IFS=$'\n'
    COMPREPLY=($(compgen -W "${candidates// /$'\n'}" -- "$cur"))
    # Bash replaces only what follows the last "=" of the word when "=" breaks
    # words, as it does by default.
    if [[ $cur == *=* && $COMP_WORDBREAKS == *=* ]]; then
        local typed=${cur%"${cur##*=}"}
        COMPREPLY=("${COMPREPLY[@]#"$typed"}")
    fi
    if [[ ${#COMPREPLY[@]} -eq 1 && ${COMPREPLY[0]} == *= ]]; then
        compopt -o nospace 2>/dev/null
    fi
    return 0
}

# File names after an option that takes a file; after --open only folders and
# the calculator's project files.
_vantero_files() {
    local cur=$1 option=$2 calculator=$3 file
    compopt -o filenames 2>/dev/null
    local IFS=$'\n'
    if [[ $option == --open && -n $calculator ]]; then
        local extension=_vantero_extension_$calculator
        for file in $(compgen -f -- "$cur"); do
            if [[ -d $file || ${file,,} == *"${!extension}" ]]; then
                COMPREPLY+=("$file")
            fi
        done
    else
        COMPREPLY=($(compgen -f -- "$cur"))
    fi
}

complete -F _vantero vantero
)BASH";

} // namespace

std::string bashCompletion() {
    std::string script = "# Bash completion of vantero, made from the descriptions of its "
                         "calculators.\n\n";
    // NAME='VALUE' (appended piece by piece: GCC 12 takes `"x" + string` for
    // an overlapping copy at -O3).
    const auto variable = [&script](std::string_view name, std::string_view value) {
        script += name;
        script += "='";
        script += value;
        script += "'\n";
    };
    variable("_vantero_calculators",
             words(calculators(), [](const Calculator* c) { return c->name(); }));
    const auto options = cli::optionNames();
    variable("_vantero_options", words(options, [](const cli::OptionName& o) { return o.name; }));
    std::vector<std::string_view> valueOptions;
    for (const cli::OptionName& option : options) {
        if (option.takesValue) {
            valueOptions.push_back(option.name);
        }
    }
    variable("_vantero_value_options", words(valueOptions, [](std::string_view o) { return o; }));
    for (const Calculator* calculator : calculators()) {
        const std::string name(calculator->name());
        script += '\n';
        variable("_vantero_inputs_" + name,
                 words(calculator->inputs(), [](const InputDescription& d) { return d.name; }));
        variable("_vantero_choices_" + name,
                 words(calculator->choices(), [](const ChoiceDescription& d) { return d.name; }));
        variable("_vantero_extension_" + name, calculator->layout().extension);
        for (const ChoiceDescription& choice : calculator->choices()) {
            variable("_vantero_values_" + name + "_" + std::string(choice.name),
                     words(choice.values, [](std::string_view v) { return v; }));
        }
    }
    script += completionFunction;
    return script;
}

} // namespace vantero::packaging
