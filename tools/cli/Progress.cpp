#include "Progress.h"

#include "Output.h"

namespace izuzez::cli
{

std::string Progress::Bar(int done, int total, int width)
{
    if (total <= 0 || width <= 0)
        return std::string(static_cast<std::size_t>(width > 0 ? width : 0), '-');
    const int clamped = done < 0 ? 0 : done > total ? total : done;
    const int filled = static_cast<int>(static_cast<long long>(clamped) * width / total);
    return std::string(static_cast<std::size_t>(filled), '#') +
           std::string(static_cast<std::size_t>(width - filled), '-');
}

void Progress::Show(int done, int total, std::string_view text)
{
    if (!m_terminal)
    {
        if (!text.empty())
            m_out << PrintableText(text) << "\n" << std::flush;
        return;
    }
    const int percent = total > 0 ? done * 100 / total : 0;
    std::string line = "\r[" + Bar(done, total, 30) + "] " + std::to_string(percent) + "% ";
    std::string name = PrintableText(text);
    if (name.size() > 40)
        name = "..." + name.substr(name.size() - 37);
    line += name;
    m_out << line << "\x1b[K" << std::flush;
    m_drawn = true;
}

void Progress::Finish()
{
    if (m_drawn)
        m_out << "\n" << std::flush;
    m_drawn = false;
}

} // namespace izuzez::cli
