#include "CommandLine.h"
#include "Reference.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

using namespace izuzez::cli;

namespace
{

// Each command with the options it takes; "" holds the global options.
using Listing = std::map<std::string, std::set<std::string>>;

std::set<std::string> OptionsIn(const std::string &text, const std::regex &pattern)
{
    std::set<std::string> options;
    for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it)
        options.insert((*it)[1].str());
    return options;
}

Listing FromDeclaration(const CommandLine &line)
{
    Listing listing;
    for (const CLI::Option *option : VisibleOptions(line.app))
        listing[""].insert(OptionName(*option));
    for (const CLI::App *command : DeclaredCommands(line.app))
    {
        std::set<std::string> &options = listing[command->get_name()];
        for (const CLI::Option *option : VisibleOptions(*command))
            if (!option->get_positional())
                options.insert(OptionName(*option));
    }
    return listing;
}

// The usage's command lines: the synopsis ends where the description starts, after two spaces.
Listing FromUsage(const std::string &usage)
{
    Listing listing;
    std::istringstream in(usage);
    std::string line;
    while (std::getline(in, line) && line != "Commands:")
    {
    }
    const std::regex option(R"((--[a-z-]+))");
    while (std::getline(in, line) && !line.empty())
    {
        if (line.rfind("   ", 0) == 0)
            continue; // a description's further line
        const std::string synopsis = line.substr(2, line.find("  ", 2) - 2);
        const std::string name = synopsis.substr(0, synopsis.find(' '));
        listing[name] = OptionsIn(synopsis, option);
    }
    while (std::getline(in, line) && line != "Options:")
    {
    }
    while (std::getline(in, line) && !line.empty())
        if (line.rfind("  --", 0) == 0)
            listing[""].insert(line.substr(2, line.find(' ', 2) - 2));
    return listing;
}

Listing FromCompletion(const std::string &script)
{
    Listing listing;
    std::smatch m;
    EXPECT_TRUE(std::regex_search(script, m, std::regex("local global=\"([^\"]*)\"")));
    listing[""] = OptionsIn(m[1].str(), std::regex(R"((--[a-z-]+))"));
    const std::regex arm(
        R"(\n        ([a-z][a-z-]*)\)\n(?:[^\n]*\n)*?            COMPREPLY=\(\$\(compgen -W "([^"$]*)\$global)");
    for (std::sregex_iterator it(script.begin(), script.end(), arm), end; it != end; ++it)
        listing[(*it)[1].str()] = OptionsIn((*it)[2].str(), std::regex(R"((--[a-z-]+))"));
    return listing;
}

// The manual's entries: ".TP" then the bold name and the synopsis on the next line.
Listing FromManual(const std::string &page)
{
    Listing listing;
    const std::regex entry(R"(\.TP\n\\fB([a-z\\-]+)\\fR([^\n]*)\n)");
    const std::regex option(R"(\\fB(\\-\\-[a-z\\-]+)\\fR)");
    const auto plain = [](std::string text)
    {
        text = std::regex_replace(text, std::regex(R"(\\-)"), "-");
        return text;
    };
    for (std::sregex_iterator it(page.begin(), page.end(), entry), end; it != end; ++it)
    {
        const std::string name = plain((*it)[1].str());
        std::set<std::string> options;
        for (const std::string &o : OptionsIn((*it)[2].str(), option))
            options.insert(plain(o));
        if (name.rfind("--", 0) == 0)
            continue; // an entry of the OPTIONS section
        listing[name] = options;
    }
    const std::string globals =
        page.substr(page.find(".SH OPTIONS"), page.find(".PP\nOptions of the commands") - page.find(".SH OPTIONS"));
    for (const std::string &o : OptionsIn(globals, std::regex(R"(\.TP\n\\fB(\\-\\-[a-z\\-]+)\\fR)")))
        listing[""].insert(plain(o));
    return listing;
}

std::string ReadText(const std::string &path)
{
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(CommandLineDeclaration, UsageCompletionAndManualListTheSameCommandsAndOptions)
{
    const auto line = DeclareCommandLine();
    const Listing declared = FromDeclaration(*line);
    ASSERT_EQ(declared.size(), 14u) << "the global options and the 13 commands";
    EXPECT_EQ(FromUsage(RenderUsage(*line)), declared);
    EXPECT_EQ(FromCompletion(RenderBashCompletion(*line)), declared);
    EXPECT_EQ(FromManual(RenderManual(*line, "@COMMANDS@\n.SH OPTIONS\n@OPTIONS@\n")), declared);
}

TEST(CommandLineDeclaration, TheBuiltCompletionAndManualAreTheDeclarations)
{
    const auto line = DeclareCommandLine();
    const std::string completion = ReadText(IZUZEZ_PACKAGING_BUILD_DIR "/izuzez.bash");
    const std::string manual = ReadText(IZUZEZ_PACKAGING_BUILD_DIR "/izuzez.1");
    EXPECT_EQ(completion, RenderBashCompletion(*line));
    EXPECT_EQ(FromManual(manual), FromDeclaration(*line));
    EXPECT_EQ(manual, RenderManual(*line, ReadText(IZUZEZ_SOURCE_DIR "/packaging/man/izuzez.1.in")));
}

TEST(CommandLineDeclaration, FixedWordsAreOfferedByTheCompletion)
{
    const auto line = DeclareCommandLine();
    const std::string completion = RenderBashCompletion(*line);
    EXPECT_NE(completion.find("shares ssl workgroup codepage ideok sharename bt_firmware domain"), std::string::npos);
    EXPECT_NE(completion.find("950 936 850 865 852 857 949 866 932"), std::string::npos);
}

} // namespace
