// Building pages from generated data: 1,000, 10,000 and 100,000 items with
// 1,000 translations. The time per item should stay flat as the data grows.
// Reading the data file and building the page as the launcher does, beside the
// same with the position of every node noted, as the page tool's check reads.
// At 10,000 items the translation pass is also run with the rule of restarting
// the search at the start of the page after every replacement, beside the
// linear ReplaceAll the builder uses; and with translated texts that hold a
// "#", from 1,000 to 100,000 items.
//
// Items with many attributes and a block of as many characters that names two.
//
// Templates of nested blocks, each of its own name, 5,000 to 100,000 deep: the
// parser beside the way it used to work (both tag searches restarted at the
// scan position, every opening tag checked against all open blocks); and whole
// pages from such a template with data items nested as deep, one per block.
// The time per block should stay flat.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

#include "base/format.h"
#include "launcher/page/page_builder.h"
#include "launcher/page/replace_all.h"
#include "launcher/page/template_parser.h"
#include "launcher/page/translate_page.h"
#include "object/manager.h"
#include "object/system.h"
#include "xml/node_positions.h"
#include "xml/reader.h"

namespace {

constexpr int kTranslations = 1000;

const char16_t kTemplate[] =
    u"<html><head><title>#t0#</title></head><body>"
    u"<%group%><section><h2>%%group.title%%</h2><ul><%entry%><li><a href=\"%%entry.href%%\">"
    u"%%entry.title%%</a> <span>%%entry.note%% (%%counter)</span></li></%entry%></ul></section>"
    u"</%group%></body></html>";

// Groups of nine entries; every text is a translation key.
std::u16string GenerateData(int items, bool with_translations) {
    std::u16string xml = u"<content>";
    if (with_translations) {
        xml += u"<translations><L0409>";
        for (int t = 0; t < kTranslations; ++t) {
            std::u16string n = BaseString::FromUtf8(std::to_string(t)).view().data();
            xml += u"<string id=\"t" + n + u"\" value=\"Translated text number " + n + u"\"/>";
        }
        xml += u"</L0409></translations>";
    }
    xml += u"<data>";
    for (int i = 0; i < items; ++i) {
        std::u16string key = BaseString::FromUtf8(std::to_string(i % kTranslations)).view().data();
        if (i % 10 == 0) {
            if (i > 0) {
                xml += u"</group>";
            }
            xml += u"<group title=\"#t" + key + u"#\">";
        } else {
            xml += u"<entry href=\"run:setup" + key + u".exe\" title=\"#t" + key +
                   u"#\" note=\"#t" + key + u"#\"/>";
        }
    }
    xml += items > 0 ? u"</group></data></content>" : u"</data></content>";
    return xml;
}

Ref<Xml::Document> Parse(const std::u16string& xml) {
    Object::ModuleStart();
    return Object::Create<Xml::Reader>(BaseString(Xml::kReaderClsid))->readString(BaseString(xml));
}

void BM_BuildPage(benchmark::State& state) {
    int items = static_cast<int>(state.range(0));
    Ref<Xml::Document> document = Parse(GenerateData(items, true));
    for (auto _ : state) {
        PageBuilder builder(0x0409, BaseString(u"/media/disc/autorun"));
        VisibilityMap visibility;
        benchmark::DoNotOptimize(builder.BuildPage(BaseString(kTemplate), document, visibility));
    }
    state.counters["items"] = items;
    state.counters["per_item"] = benchmark::Counter(
        items, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_BuildPage)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void RunReadAndBuild(benchmark::State& state, bool note_positions) {
    int items = static_cast<int>(state.range(0));
    Parse(u"<a/>");  // starts the runtime
    BaseString xml(GenerateData(items, true));
    Ref<Xml::Reader> reader = Object::Create<Xml::Reader>(BaseString(Xml::kReaderClsid));
    for (auto _ : state) {
        Xml::NodePositions positions;
        Ref<Xml::Document> document = note_positions
                                          ? Xml::ReadStringNotingPositions(xml, positions)
                                          : reader->readString(xml);
        PageBuilder builder(0x0409, BaseString(u"/media/disc/autorun"));
        VisibilityMap visibility;
        benchmark::DoNotOptimize(builder.BuildPage(BaseString(kTemplate), document, visibility));
    }
    state.counters["per_item"] = benchmark::Counter(
        items, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_ReadAndBuildPage(benchmark::State& state) {
    RunReadAndBuild(state, false);
}
void BM_ReadAndBuildPage_NotingPositions(benchmark::State& state) {
    RunReadAndBuild(state, true);
}
BENCHMARK(BM_ReadAndBuildPage)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAndBuildPage_NotingPositions)->Arg(10000)->Unit(benchmark::kMillisecond);

// The restarting rule, as written: search from the start after every replacement.
BaseString RestartingReplaceAll(const BaseString& text, std::u16string_view key,
                                std::u16string_view value) {
    std::u16string result(text.view());
    for (size_t found = result.find(key); found != std::u16string::npos; found = result.find(key)) {
        result.replace(found, key.size(), value);
    }
    return BaseString(result);
}

BaseString KeyByKey(const BaseString& page, const TranslationMap& translations,
                    BaseString (*replace)(const BaseString&, std::u16string_view,
                                          std::u16string_view)) {
    BaseString translated = page;
    for (const auto& [key, text] : translations) {
        translated = replace(translated, key, text);
    }
    return translated;
}

BaseString Restarting(const BaseString& page, const TranslationMap& translations) {
    return KeyByKey(page, translations, RestartingReplaceAll);
}

BaseString Linear(const BaseString& page, const TranslationMap& translations) {
    return KeyByKey(page, translations, ReplaceAll);
}

void RunTranslationPass(benchmark::State& state,
                        BaseString (*translate)(const BaseString&, const TranslationMap&)) {
    PageBuilder untranslated(0x0409, BaseString(u"/media/disc/autorun"));
    VisibilityMap visibility;
    BaseString page = untranslated.BuildPage(BaseString(kTemplate),
                                             Parse(GenerateData(10000, false)), visibility);
    PageBuilder reader(0x0409, BaseString());
    TranslationMap translations = reader.ReadTranslations(Parse(GenerateData(0, true)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(translate(page, translations));
    }
}

// What the builder does, then linear ReplaceAll and the restarting rule key after key.
void BM_TranslationPass_Builder(benchmark::State& state) {
    RunTranslationPass(state, TranslatePage);
}
void BM_TranslationPass_LinearKeyByKey(benchmark::State& state) {
    RunTranslationPass(state, Linear);
}
void BM_TranslationPass_RestartingKeyByKey(benchmark::State& state) {
    RunTranslationPass(state, Restarting);
}
BENCHMARK(BM_TranslationPass_Builder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TranslationPass_LinearKeyByKey)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TranslationPass_RestartingKeyByKey)->Iterations(1)->Unit(benchmark::kMillisecond);

// Translated texts that hold a "#" of their own ("... #2"), on pages of 1,000
// to 100,000 items: the builder's pass per item should stay flat.
void BM_TranslationPass_HashInTexts(benchmark::State& state) {
    int items = static_cast<int>(state.range(0));
    PageBuilder untranslated(0x0409, BaseString(u"/media/disc/autorun"));
    VisibilityMap visibility;
    BaseString page = untranslated.BuildPage(BaseString(kTemplate),
                                             Parse(GenerateData(items, false)), visibility);
    PageBuilder reader(0x0409, BaseString());
    TranslationMap translations;
    for (const auto& [key, text] : reader.ReadTranslations(Parse(GenerateData(0, true)))) {
        translations[key] = text + u" #2";
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(TranslatePage(page, translations));
    }
    state.counters["per_item"] = benchmark::Counter(
        items, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_TranslationPass_HashInTexts)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

// Ten items with n attributes each, rendered by a block of about n characters
// that names two of them, for n from 1,000 to 16,000: the time per attribute
// and character should stay flat.
void BM_BuildPage_ManyAttributes(benchmark::State& state) {
    int size = static_cast<int>(state.range(0));
    std::u16string xml = u"<content><data>";
    for (int item = 0; item < 10; ++item) {
        xml += u"<entry";
        for (int a = 0; a < size; ++a) {
            xml.append(u" a").append(Base::Format("%d", a).view()).append(u"=\"value\"");
        }
        xml += u" href=\"run:setup.exe\" title=\"Title\"/>";
    }
    Ref<Xml::Document> document = Parse(xml + u"</data></content>");
    std::u16string block = u"<li><a href=\"%%entry.href%%\">%%entry.title%%</a>";
    block.append(static_cast<size_t>(size), u'.');
    BaseString page_template(u"<ul><%entry%>" + block + u"</li></%entry%></ul>");
    for (auto _ : state) {
        PageBuilder builder(0x0409, BaseString(u"/media/disc/autorun"));
        VisibilityMap visibility;
        benchmark::DoNotOptimize(builder.BuildPage(page_template, document, visibility));
    }
    state.counters["per_unit"] = benchmark::Counter(
        10.0 * size, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_BuildPage_ManyAttributes)
    ->Arg(1000)
    ->Arg(4000)
    ->Arg(16000)
    ->Unit(benchmark::kMillisecond);

// "<%b0%><%b1%>...x...</%b1%></%b0%>", every block with some text around its
// nested one.
BaseString NestedTemplate(int depth) {
    std::u16string text = u"<html>";
    for (int i = 0; i < depth; ++i) {
        text.append(u"<%b").append(Base::Format("%d", i).view()).append(u"%><div>");
    }
    text += u"x";
    for (int i = depth; i-- > 0;) {
        text.append(u"</div></%b").append(Base::Format("%d", i).view()).append(u"%>");
    }
    return BaseString(text + u"</html>");
}

// The parser as it was: both searches for the next tag start again at the scan
// position, and an opening tag is checked against every open block.
std::vector<TemplateSegment> RescanningParseTemplate(const BaseString& text) {
    std::u16string_view all = text.view();
    std::vector<TemplateSegment> segments;
    struct Open {
        BaseString name;
        size_t start;
    };
    std::vector<Open> open;
    size_t scan = 0;
    size_t resume = 0;
    auto slice = [&](size_t from, size_t to) { return BaseString(all.substr(from, to - from)); };
    for (;;) {
        size_t opener = all.find(u"<%", scan);
        size_t closer = all.find(u"</%", scan);
        if (opener == std::u16string_view::npos && closer == std::u16string_view::npos) {
            break;
        }
        bool opening = opener < closer;
        size_t tag_start = opening ? opener : closer;
        size_t name_end = all.find(u"%>", tag_start + (opening ? 2 : 3));
        size_t name_start = tag_start + (opening ? 2 : 3);
        BaseString name = slice(name_start, name_end);
        if (opening) {
            if (segments.empty()) {
                segments.push_back({0, BaseString(), slice(0, tag_start), 0, 0});
            }
            if (!open.empty()) {
                segments.push_back({static_cast<uint32_t>(open.size()), open.back().name,
                                    slice(open.back().start, tag_start), 0, 0});
            }
            benchmark::DoNotOptimize(std::any_of(open.begin(), open.end(),
                                                 [&](const Open& o) { return o.name == name; }));
            open.push_back({name, name_end + 2});
        } else {
            segments.push_back({static_cast<uint32_t>(open.size()), name,
                                slice(open.back().start, tag_start), 0, 0});
            open.pop_back();
            if (!open.empty()) {
                open.back().start = name_end + 2;
            }
            resume = name_end + 2;
        }
        scan = name_end;
    }
    segments.push_back({0, BaseString(), slice(resume, all.size()), 0, 0});
    return segments;
}

void RunNestedParse(benchmark::State& state,
                    std::vector<TemplateSegment> (*parse)(const BaseString&)) {
    int depth = static_cast<int>(state.range(0));
    BaseString text = NestedTemplate(depth);
    for (auto _ : state) {
        benchmark::DoNotOptimize(parse(text));
    }
    state.counters["per_block"] = benchmark::Counter(
        depth, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

std::vector<TemplateSegment> LauncherParse(const BaseString& text) {
    return ParseTemplate(text);
}

void BM_ParseNestedTemplate(benchmark::State& state) {
    RunNestedParse(state, LauncherParse);
}
void BM_ParseNestedTemplate_Rescanning(benchmark::State& state) {
    RunNestedParse(state, RescanningParseTemplate);
}
BENCHMARK(BM_ParseNestedTemplate)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseNestedTemplate_Rescanning)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(20000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// Items nested like the blocks: "<b0><b1>...</b1></b0>".
std::u16string NestedData(int depth) {
    std::u16string xml = u"<content><data>";
    for (int i = 0; i < depth; ++i) {
        xml.append(u"<b").append(Base::Format("%d", i).view()).append(u">");
    }
    for (int i = depth; i-- > 0;) {
        xml.append(u"</b").append(Base::Format("%d", i).view()).append(u">");
    }
    return xml + u"</data></content>";
}

void BM_BuildNestedPage(benchmark::State& state) {
    int depth = static_cast<int>(state.range(0));
    BaseString page_template = NestedTemplate(depth);
    Ref<Xml::Document> document = Parse(NestedData(depth));
    for (auto _ : state) {
        PageBuilder builder(0x0409, BaseString(u"/media/disc/autorun"));
        VisibilityMap visibility;
        benchmark::DoNotOptimize(builder.BuildPage(page_template, document, visibility));
    }
    state.counters["per_block"] = benchmark::Counter(
        depth, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_BuildNestedPage)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(5000)
    ->Arg(20000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
