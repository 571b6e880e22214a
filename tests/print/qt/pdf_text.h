#pragma once
// Reads a printed PDF back with the poppler tools: its text laid out as on
// the page, and its page count.
#include <QProcess>
#include <QString>
#include <QStringList>

#include <string>

namespace kelvo::test {

inline std::string run_tool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000)) return {};
    return p.readAllStandardOutput().toStdString();
}

// Runs of blanks squeezed to one: pdftotext places columns only roughly
// (the exact columns are the layout's own tests).
inline std::string squeezed(const std::string& text)
{
    std::string out;
    for (char c : text)
        if (c != ' ' || out.empty() || out.back() != ' ') out += c;
    return out;
}

inline std::string pdf_text(const std::string& path)
{
    return squeezed(run_tool("pdftotext", {"-layout", QString::fromStdString(path), "-"}));
}

// The "Pages:" line of pdfinfo; 0 when there is none.
inline int pdf_pages(const std::string& path)
{
    const std::string info = run_tool("pdfinfo", {QString::fromStdString(path)});
    const std::size_t at = info.find("Pages:");
    if (at == std::string::npos) return 0;
    return std::stoi(info.substr(at + 6));
}

}  // namespace kelvo::test
