// Writes the bash completion and the manual page from the command line's declaration, at build time.
#include "Reference.h"

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

using namespace izuzez::cli;

int main(int argc, char **argv)
{
    const std::string what = argc > 1 ? argv[1] : "";
    if (!((what == "bash" && argc == 3) || (what == "manual" && argc == 4)))
    {
        std::cerr << "usage: izuzez-cli-reference bash OUT | manual TEMPLATE OUT\n";
        return 2;
    }
    const auto line = DeclareCommandLine();
    std::string text;
    if (what == "bash")
        text = RenderBashCompletion(*line);
    else
    {
        std::ifstream in(argv[2]);
        std::ostringstream manualTemplate;
        manualTemplate << in.rdbuf();
        if (!in)
        {
            std::cerr << "izuzez-cli-reference: cannot read " << argv[2] << "\n";
            return 1;
        }
        text = RenderManual(*line, manualTemplate.str());
    }
    std::ofstream out(argv[argc - 1]);
    out << text;
    return out ? 0 : 1;
}
