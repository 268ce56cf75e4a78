// Composing whole NFO files: the scene release example with its art made
// from a 4000 x 3000 camera-like JPEG through the real picture loader, and a
// template of 10,000 lines of text, boxes, facts and wrapped paragraphs.
#include "ezedudu/compose.h"
#include "ezedudu/error.h"
#include "ezedudu/page_writer.h"
#include "ezedudu/template_files.h"

#include "photo_jpeg.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <fstream>

namespace ezedudu {
namespace {

const TemplateFields ReleaseFields{{"group", "ZOR"},         {"title", "Tavix's ZOR Ezedudu"},
                                   {"version", "3.0"},       {"date", "2024-12-09"},
                                   {"size", "1 x 2.9 MB"},   {"format", "Debian package, zip"},
                                   {"licence", "MIT"}};

// The scene release's template beside a 4000 x 3000 JPEG it draws instead
// of its own small picture.
struct SceneRelease {
    QTemporaryDir folder;
    std::string text;

    SceneRelease()
    {
        std::ifstream example(std::string(EZEDUDU_EXAMPLES) + "/scene-release.txt", std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(example), {});
        text.replace(text.find("sample.png"), 10, "photo.jpg");
        std::ofstream(folder.filePath("photo.jpg").toStdString(), std::ios::binary) << PhotoJpeg(4000, 3000);
    }
};

void ComposeSceneReleaseFromA12MegapixelJpeg(benchmark::State& state)
{
    const SceneRelease scene;
    for (auto _ : state) {
        TemplateFiles files(scene.folder.path().toStdString());
        std::string nfo = WritePage(Compose(scene.text, ReleaseFields, files, {}), TextEncoding::Cp437);
        benchmark::DoNotOptimize(nfo);
    }
}

// 50 lines of every kind of text, 200 times over.
std::string TenThousandLines()
{
    std::string chunk = "{{center}}\n{{title}} {{version}}\n{{/center}}\n{{rule \u2550}}\n"
                        "{{box double \"RELEASE\"}}\n{{facts}}\n"
                        "Title: {{title}}\nDate: {{date}}\nSize: {{size}}\n"
                        "Notes: a value long enough to wrap under itself at the inner width of the box, "
                        "twice or more, as release notes do\n"
                        "{{/facts}}\n{{/box}}\n"
                        "{{box single \"ABOUT\"}}\n{{wrap}}\n";
    for (int line = 0; line < 10; ++line)
        chunk += "Plain words of a paragraph that the wrap reflows into the lines of the box.\n";
    chunk += "{{/wrap}}\n{{/box}}\n";
    for (int line = 0; line < 21; ++line)
        chunk += " * a plain line of text, written as it is, in code page 437: \u2554\u2550\u2557\n";
    chunk += "{{right}}\n{{group}} - {{date}}\n{{/right}}\n";
    std::string text;
    for (int copy = 0; copy < 200; ++copy)
        text += chunk;
    return text;
}

// Pictures and fonts are never asked for.
class NoFiles : public TemplateSources {
public:
    std::shared_ptr<const RowSource> OpenPicture(const std::string& name, const ConversionOptions&) override
    {
        throw Error(Error::Kind::MissingFile, name);
    }
    std::string ReadFont(const std::string& name) override { throw Error(Error::Kind::MissingFile, name); }
};

void ComposeTenThousandLineTemplate(benchmark::State& state)
{
    const std::string text = TenThousandLines();
    NoFiles none;
    std::int64_t lines = 0;
    for (auto _ : state) {
        const Page page = Compose(text, ReleaseFields, none, {});
        lines = page.LineCount();
        std::string nfo = WritePage(page, TextEncoding::Cp437);
        benchmark::DoNotOptimize(nfo);
    }
    state.counters["template lines"] = double(std::count(text.begin(), text.end(), '\n'));
    state.counters["file lines"] = double(lines);
}

// One line of many fields, each empty: reading the line must take one pass
// over it, however many directives it holds.
void ComposeOneLineOfManyFields(benchmark::State& state)
{
    std::string text;
    for (std::int64_t field = 0; field < state.range(0); ++field)
        text += "{{empty}}";
    NoFiles none;
    for (auto _ : state) {
        const Page page = Compose(text, {{"empty", ""}}, none, {});
        benchmark::DoNotOptimize(page.LineCount());
    }
    state.SetComplexityN(state.range(0));
}

BENCHMARK(ComposeSceneReleaseFromA12MegapixelJpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(ComposeTenThousandLineTemplate)->Unit(benchmark::kMillisecond);
BENCHMARK(ComposeOneLineOfManyFields)->RangeMultiplier(4)->Range(1 << 12, 1 << 18)->Complexity()->Unit(benchmark::kMillisecond);

} // namespace
} // namespace ezedudu
