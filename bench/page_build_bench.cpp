// Building pages from generated data: 1,000, 10,000 and 100,000 items with
// 1,000 translations. The time per item should stay flat as the data grows.
// At 10,000 items the translation pass is also run with the rule of restarting
// the search at the start of the page after every replacement, beside the
// linear ReplaceAll the builder uses.
#include <benchmark/benchmark.h>

#include <string>

#include "launcher/page/page_builder.h"
#include "launcher/page/replace_all.h"
#include "launcher/page/translate_page.h"
#include "object/manager.h"
#include "object/system.h"
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

}  // namespace

BENCHMARK_MAIN();
