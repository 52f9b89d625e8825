#include "output/OutputKind.h"

#include <algorithm>
#include <array>

namespace {

using K = OutputKind;
using W = OutputKind::Writer;
using B = OutputKind::BasicHtml;

// Indexed by the kind's number.
constexpr std::array<OutputKind::Facts, 9> kTable{{
    {K::WebFolder, "html", "zip", 0, false, B::Enabled, "", W::WebFolder, true},
    {K::Application, "app", "zip", 1, false, B::Disabled, "", W::Application, true},
    {K::ZipArchive, "zip", "zip", -1, false, B::Enabled, "", W::ZipArchive, false},
    {K::Executable, "exe", "zip", 2, false, B::Disabled, "", W::Executable, false},
    {K::Html5Folder, "html", "zip", -1, true, B::Enabled, "", W::WebFolder, true},
    {K::SealedPackage, "fmapp", "fmapp", -1, true, B::DisabledAndOff, "", W::SealedPackage, false},
    {K::WordPress, "zip", "zip", 3, true, B::Enabled, "WordPress", W::PluginPackage, true},
    {K::Joomla, "zip", "zip", 4, true, B::Enabled, "Joomla", W::PluginPackage, true},
    {K::Drupal, "zip", "zip", 5, true, B::Enabled, "Drupal", W::PluginPackage, true},
}};

constexpr bool tableInOrder()
{
    for (std::size_t i = 0; i < kTable.size(); ++i) {
        if (std::size_t(kTable[i].code) != i)
            return false;
    }
    return true;
}
static_assert(tableInOrder(), "the kind table is indexed by the kind's number");

} // namespace

std::optional<OutputKind> OutputKind::fromNumber(int number)
{
    if (number < 0 || number >= int(kTable.size()))
        return std::nullopt;
    return OutputKind(Code(number));
}

OutputKind OutputKind::fromStored(int number)
{
    return OutputKind(Code(std::clamp(number, 0, int(kTable.size()) - 1)));
}

QList<OutputKind> OutputKind::offered()
{
    QList<OutputKind> kinds;
    for (const Facts &facts : kTable) {
        if (facts.button >= 0)
            kinds << facts.code;
    }
    std::sort(kinds.begin(), kinds.end(),
              [](OutputKind a, OutputKind b) { return a.facts().button < b.facts().button; });
    return kinds;
}

const OutputKind::Facts &OutputKind::facts() const
{
    return kTable[std::size_t(m_code)];
}

QString OutputKind::extension(bool packed) const
{
    return QString::fromLatin1(packed ? facts().packedExtension : facts().extension);
}
