#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace izuzez::cli
{

// A bar redrawn in place on a terminal; plain lines, one per step given a text, anywhere else.
class Progress
{
public:
    Progress(std::ostream &out, bool terminal) : m_out(out), m_terminal(terminal) {}
    ~Progress() { Finish(); }

    // done of total; text names the step (empty: the bar only moves).
    void Show(int done, int total, std::string_view text);
    void Finish();

    static std::string Bar(int done, int total, int width);

private:
    std::ostream &m_out;
    bool m_terminal;
    bool m_drawn = false;
};

} // namespace izuzez::cli
