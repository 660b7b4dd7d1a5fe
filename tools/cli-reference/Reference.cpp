#include "Reference.h"

#include <sstream>
#include <vector>

namespace izuzez::cli
{
namespace
{

std::string OneParagraph(const std::string &text)
{
    std::string joined;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        joined += (joined.empty() ? "" : " ") + line;
    return joined;
}

std::string Roff(std::string_view text)
{
    std::string out;
    for (char c : text)
    {
        if (c == '-')
            out += "\\-";
        else if (c == '\\')
            out += "\\e";
        else
            out += c;
    }
    return out;
}

// An argument's name in italics, an option's in bold with its value's name in italics.
std::string RoffPiece(const SynopsisPiece &p)
{
    const char *font = p.word.rfind('-', 0) == 0 ? "\\fB" : "\\fI";
    std::string text = font + Roff(p.word) + "\\fR";
    if (!p.value.empty())
        text += " \\fI" + Roff(p.value) + "\\fR";
    if (p.optional)
        text = "[" + text + "]";
    return p.repeats ? text + "..." : text;
}

std::string RenderManualCommands(const CommandLine &line)
{
    std::string out;
    for (const CLI::App *command : DeclaredCommands(line.app))
    {
        out += ".TP\n\\fB" + Roff(command->get_name()) + "\\fR";
        for (const SynopsisPiece &piece : SynopsisPieces(*command))
            out += " " + RoffPiece(piece);
        out += "\n" + Roff(OneParagraph(command->get_description())) + ".\n";
    }
    return out;
}

std::string RenderManualOptions(const CommandLine &line)
{
    std::string out;
    const auto entry = [&out](const CLI::Option &option)
    {
        out += ".TP\n" + RoffPiece({OptionName(option), TakesValue(option) ? option.get_type_name() : ""}) + "\n" +
               Roff(OneParagraph(option.get_description())) + ".\n";
    };
    for (const CLI::Option *option : VisibleOptions(line.app))
        entry(*option);
    out += ".PP\nOptions of the commands (see each command above for which it takes):\n";
    for (const CLI::Option *option : CommandOptions(line.app))
        entry(*option);
    return out;
}

} // namespace

std::string RenderBashCompletion(const CommandLine &line)
{
    const CLI::App &app = line.app;
    std::string names;
    std::string valued;
    std::string global;
    for (const CLI::App *command : DeclaredCommands(app))
        names += (names.empty() ? "" : " | ") + command->get_name();
    for (const CLI::Option *option : VisibleOptions(app))
        global += (global.empty() ? "" : " ") + OptionName(*option);
    for (const CLI::Option *option : CommandOptions(app))
        if (TakesValue(*option) && (valued + " ").find(" " + OptionName(*option) + " ") == std::string::npos)
            valued += " | " + OptionName(*option);

    std::string out = "# bash completion for izuzez, made from its command line's declaration when it is built\n"
                      "_izuzez()\n"
                      "{\n"
                      "    local cur prev words cword\n"
                      "    _init_completion || return\n"
                      "\n"
                      "    case $prev in\n"
                      "        --interface)\n"
                      "            local addresses\n"
                      "            addresses=$(ip -4 -o addr show 2>/dev/null | awk '{ split($4, a, \"/\"); print "
                      "a[1] }')\n"
                      "            COMPREPLY=($(compgen -W \"$addresses\" -- \"$cur\"))\n"
                      "            return\n"
                      "            ;;\n"
                      "        " +
                      valued.substr(3) +
                      ")\n"
                      "            return\n"
                      "            ;;\n"
                      "    esac\n"
                      "\n"
                      "    local command=\"\" i\n"
                      "    for ((i = 1; i < cword; i++)); do\n"
                      "        case ${words[i]} in\n"
                      "            " +
                      names +
                      ")\n"
                      "                command=${words[i]}\n"
                      "                break\n"
                      "                ;;\n"
                      "        esac\n"
                      "    done\n"
                      "\n"
                      "    local global=\"" +
                      global +
                      "\"\n"
                      "    case $command in\n"
                      "        \"\")\n"
                      "            COMPREPLY=($(compgen -W \"";
    for (const CLI::App *command : DeclaredCommands(app))
        out += command->get_name() + " ";
    out += "$global\" -- \"$cur\"))\n"
           "            ;;\n";
    for (const CLI::App *command : DeclaredCommands(app))
    {
        std::string own;
        std::string words;
        int position = 0;
        for (const CLI::Option *option : VisibleOptions(*command))
        {
            if (!option->get_positional())
            {
                own += OptionName(*option) + " ";
                continue;
            }
            ++position;
            if (const auto it = line.choices.find(option); it != line.choices.end())
            {
                words += "            if [[ $cur != -* && $((cword - i)) -eq " + std::to_string(position) +
                         " ]]; then\n                COMPREPLY=($(compgen -W \"";
                for (const std::string &choice : it->second)
                    words += choice + (&choice == &it->second.back() ? "" : " ");
                words += "\" -- \"$cur\"))\n                return\n            fi\n";
            }
        }
        out += "        " + command->get_name() + ")\n" + words + "            COMPREPLY=($(compgen -W \"" + own +
               "$global\" -- \"$cur\"))\n            ;;\n";
    }
    out += "    esac\n"
           "} && complete -F _izuzez izuzez\n";
    return out;
}

std::string RenderManual(const CommandLine &line, std::string_view manualTemplate)
{
    std::string out(manualTemplate);
    const auto replace = [&out](std::string_view marker, const std::string &text)
    {
        if (const auto at = out.find(marker); at != std::string::npos)
            out.replace(at, marker.size() + (out.compare(at + marker.size(), 1, "\n") == 0 ? 1 : 0), text);
    };
    replace("@COMMANDS@", RenderManualCommands(line));
    replace("@OPTIONS@", RenderManualOptions(line));
    return out;
}

} // namespace izuzez::cli
