// Parsing speed of the XML reader beside pugixml, libxml2 and expat, on the
// same documents in the same run: a real-sized data file (data/autorun.xml)
// and generated documents of 1, 20 and 200 MB with many attributes and mixed
// text, whose MB/s show whether the cost per byte stays flat as documents
// grow. Every parser builds a whole tree and frees it again; throughput is
// counted in bytes of the UTF-8 file. The peers parse the bytes from memory;
// readFile reads them from a (cached) file through the decoder, readString
// parses text decoded beforehand.
//
// Beside the speed, each benchmark parses once more under the heap meter:
// heap_peak is the most heap in use while the tree was built and freed,
// heap_kept what the finished tree held, both in bytes per byte of the file.
// The input itself is not counted: the peers' UTF-8 bytes and readString's
// UTF-16 text belong to the caller.
//
// Beside readFile, the same read noting where every node starts, as the page
// tool's check reads; the launcher's readFile has none of that code.
//
// Also the writer's cost per byte on the same documents, and the finder with a
// query step that every match leads to.
#include <benchmark/benchmark.h>
#include <expat.h>
#include <libxml/parser.h>
#include <malloc.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "base/string.h"
#include "heap_meter.h"
#include "object/manager.h"
#include "object/system.h"
#include "xml/finder.h"
#include "xml/node_positions.h"
#include "xml/reader.h"
#include "xml/writer.h"

namespace {

std::string ReadWholeFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Records with several attributes each, text mixed with inline elements,
// references, comments and CDATA, some of it outside ASCII.
std::string GenerateLargeDocument(size_t target_bytes) {
    std::string text = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<catalog>\n";
    for (size_t i = 0; text.size() < target_bytes; ++i) {
        std::string n = std::to_string(i);
        text += "  <record id=\"r" + n + "\" kind=\"" + (i % 3 ? "file" : "folder") + "\" size=\"" +
                std::to_string(i * 7919 % 100000) + "\" owner=\"user" + std::to_string(i % 17) +
                "\" flags=\"ro hidden\" " + "title=\"Übersicht &amp; Größe " + n + "\">\n";
        text += "    <summary>Entry " + n + " holds <b>bold</b> and <i>italic</i> text, " +
                "a reference &#233;t&#xE9; and plain words about caf\xC3\xA9s and "
                "\xE6\x9D\xB1\xE4\xBA\xAC.</summary>\n";
        text += "    <!-- revision " + n + " -->\n";
        text += "    <data encoding=\"base64\"><![CDATA[QmVuY2htYXJr" + n + "]]></data>\n";
        text += "    <tags><tag v=\"a\"/><tag v=\"b\"/><tag v=\"c" + n + "\"/></tags>\n";
        text += "  </record>\n";
    }
    text += "</catalog>\n";
    return text;
}

// A document is made the first time a benchmark of it runs: a run filtered
// to the small documents never builds the large ones.
struct Document {
    const char* name;
    size_t generated_bytes;  // 0 for the real-sized file
    std::once_flag made;
    std::string utf8;
    BaseString utf16;
    BaseString file;  // the UTF-8 bytes in a temporary file
};

BaseString WriteTemporaryFile(const char* name, const std::string& bytes) {
    std::filesystem::path path = std::filesystem::temp_directory_path() / name;
    std::ofstream(path, std::ios::binary).write(bytes.data(), bytes.size());
    return BaseString::FromUtf8(path.string());
}

Document g_documents[] = {
    {"autorun.xml", 0, {}, {}, {}, {}},
    {"generated-1MB", 1 << 20, {}, {}, {}, {}},
    {"generated-20MB", 20 << 20, {}, {}, {}, {}},
    {"generated-200MB", 200 << 20, {}, {}, {}, {}},
};

const Document& Prepared(Document& document) {
    std::call_once(document.made, [&] {
        document.utf8 = document.generated_bytes ? GenerateLargeDocument(document.generated_bytes)
                                                 : ReadWholeFile(XML_BENCH_DATA "/autorun.xml");
        document.utf16 = BaseString::FromUtf8(document.utf8);
        document.file = WriteTemporaryFile(document.name, document.utf8);
    });
    return document;
}

void Count(benchmark::State& state, const Document& document) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * document.utf8.size()));
}

// One more parse under the heap meter: `parse` returns the finished tree, which
// is measured and then dropped.
template <class Parse>
void MeasureHeap(benchmark::State& state, const Document& document, Parse parse) {
    if (!HeapMeter::Available()) {
        return;
    }
    HeapMeter::Start();
    {
        auto tree = parse();
        state.counters["heap_kept"] = static_cast<double>(HeapMeter::Read().now);
    }
    state.counters["heap_peak"] = static_cast<double>(HeapMeter::Read().peak);
    HeapMeter::Stop();
    for (const char* name : {"heap_kept", "heap_peak"}) {
        state.counters[name] = state.counters[name] / static_cast<double>(document.utf8.size());
    }
}

// From text already decoded: the parser alone.
void OrvellaReadString(benchmark::State& state, Document* document) {
    const Document& text = Prepared(*document);
    Ref<Xml::Reader> reader = Object::Create<Xml::Reader>(Xml::kReaderClsid);
    for (auto _ : state) {
        benchmark::DoNotOptimize(reader->readString(text.utf16));
    }
    Count(state, text);
    MeasureHeap(state, text, [&] { return reader->readString(text.utf16); });
}

// From the file's bytes, through the UTF-8 decoder, as the launcher reads its
// data file.
void OrvellaReadFile(benchmark::State& state, Document* document) {
    const Document& text = Prepared(*document);
    Ref<Xml::Reader> reader = Object::Create<Xml::Reader>(Xml::kReaderClsid);
    for (auto _ : state) {
        benchmark::DoNotOptimize(reader->readFile(text.file));
    }
    Count(state, text);
    MeasureHeap(state, text, [&] { return reader->readFile(text.file); });
}

void OrvellaReadFileNotingPositions(benchmark::State& state, Document* document) {
    const Document& text = Prepared(*document);
    for (auto _ : state) {
        Xml::NodePositions positions;
        benchmark::DoNotOptimize(Xml::ReadFileNotingPositions(text.file, positions));
    }
    Count(state, text);
}

std::unique_ptr<pugi::xml_document> PugixmlParse(benchmark::State& state, const Document& text) {
    auto tree = std::make_unique<pugi::xml_document>();
    pugi::xml_parse_result result =
        tree->load_buffer(text.utf8.data(), text.utf8.size(),
                          pugi::parse_default | pugi::parse_comments, pugi::encoding_utf8);
    if (!result) {
        state.SkipWithError("pugixml refused the document");
    }
    return tree;
}

void Pugixml(benchmark::State& state, Document* document) {
    const Document& text = Prepared(*document);
    for (auto _ : state) {
        benchmark::DoNotOptimize(PugixmlParse(state, text));
    }
    Count(state, text);
    MeasureHeap(state, text, [&] { return PugixmlParse(state, text); });
}

struct Libxml2Tree {
    xmlDocPtr tree;
    ~Libxml2Tree() { xmlFreeDoc(tree); }
};

std::unique_ptr<Libxml2Tree> Libxml2Parse(benchmark::State& state, const Document& text) {
    xmlDocPtr tree = xmlReadMemory(text.utf8.data(), static_cast<int>(text.utf8.size()), nullptr,
                                   "UTF-8", XML_PARSE_NONET | XML_PARSE_HUGE);
    if (!tree) {
        state.SkipWithError("libxml2 refused the document");
    }
    return std::make_unique<Libxml2Tree>(tree);
}

void Libxml2(benchmark::State& state, Document* document) {
    const Document& text = Prepared(*document);
    for (auto _ : state) {
        benchmark::DoNotOptimize(Libxml2Parse(state, text));
    }
    Count(state, text);
    MeasureHeap(state, text, [&] { return Libxml2Parse(state, text); });
}

// The tree that the expat benchmark builds through the callbacks, of the same
// kinds of node as the reader's.
struct ExpatNode {
    int kind = 1;
    std::string value;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<std::unique_ptr<ExpatNode>> children;
};

struct ExpatBuilder {
    ExpatNode root{0, {}, {}, {}};
    std::vector<ExpatNode*> stack{&root};
    bool in_cdata = false;

    ExpatNode* Append(int kind, std::string value) {
        auto node = std::make_unique<ExpatNode>();
        node->kind = kind;
        node->value = std::move(value);
        ExpatNode* raw = node.get();
        stack.back()->children.push_back(std::move(node));
        return raw;
    }

    static void Start(void* data, const XML_Char* name, const XML_Char** attributes) {
        auto* self = static_cast<ExpatBuilder*>(data);
        ExpatNode* element = self->Append(1, name);
        for (; *attributes; attributes += 2) {
            element->attributes.emplace_back(attributes[0], attributes[1]);
        }
        self->stack.push_back(element);
    }
    static void End(void* data, const XML_Char*) {
        static_cast<ExpatBuilder*>(data)->stack.pop_back();
    }
    static void Characters(void* data, const XML_Char* text, int length) {
        auto* self = static_cast<ExpatBuilder*>(data);
        int kind = self->in_cdata ? 3 : 2;
        auto& siblings = self->stack.back()->children;
        if (!siblings.empty() && siblings.back()->kind == kind) {
            siblings.back()->value.append(text, length);
        } else {
            self->Append(kind, std::string(text, length));
        }
    }
    static void Comment(void* data, const XML_Char* text) {
        static_cast<ExpatBuilder*>(data)->Append(4, text);
    }
    static void StartCdata(void* data) {
        auto* self = static_cast<ExpatBuilder*>(data);
        self->in_cdata = true;
        self->Append(3, {});
    }
    static void EndCdata(void* data) { static_cast<ExpatBuilder*>(data)->in_cdata = false; }
};

std::unique_ptr<ExpatBuilder> ExpatParse(benchmark::State& state, const Document& text) {
    auto builder = std::make_unique<ExpatBuilder>();
    XML_Parser parser = XML_ParserCreate("UTF-8");
    XML_SetUserData(parser, builder.get());
    XML_SetElementHandler(parser, ExpatBuilder::Start, ExpatBuilder::End);
    XML_SetCharacterDataHandler(parser, ExpatBuilder::Characters);
    XML_SetCommentHandler(parser, ExpatBuilder::Comment);
    XML_SetCdataSectionHandler(parser, ExpatBuilder::StartCdata, ExpatBuilder::EndCdata);
    if (XML_Parse(parser, text.utf8.data(), static_cast<int>(text.utf8.size()), 1) !=
        XML_STATUS_OK) {
        state.SkipWithError("expat refused the document");
    }
    XML_ParserFree(parser);
    return builder;
}

void Expat(benchmark::State& state, Document* document) {
    const Document& text = Prepared(*document);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ExpatParse(state, text));
    }
    Count(state, text);
    MeasureHeap(state, text, [&] { return ExpatParse(state, text); });
}

// Writing the tree back as text, as the writer's own cost per byte.
void OrvellaWriteString(benchmark::State& state, Document* document) {
    const Document& text = Prepared(*document);
    Ref<Xml::Document> tree =
        Object::Create<Xml::Reader>(Xml::kReaderClsid)->readString(text.utf16);
    Ref<Xml::Writer> writer = Object::Create<Xml::Writer>(Xml::kWriterClsid);
    for (auto _ : state) {
        benchmark::DoNotOptimize(writer->writeString(tree));
    }
    Count(state, text);
}

// The finder over 10 000 items, each with a child, with a query whose last
// step every item leads to and whose predicate value is as long as the
// argument: the cost should not grow with the value's length times the items.
void OrvellaFindLongStep(benchmark::State& state) {
    constexpr int kItems = 10000;
    std::u16string text = u"<r>";
    for (int i = 0; i < kItems; ++i) {
        text += u"<item><x v='1'/></item>";
    }
    text += u"</r>";
    Ref<Xml::Document> tree =
        Object::Create<Xml::Reader>(Xml::kReaderClsid)->readString(BaseString(text));
    Ref<Xml::Finder> finder = Object::Create<Xml::Finder>(Xml::kFinderClsid);
    BaseString query = BaseString(u"//item/x[@v='") + std::u16string(state.range(0), u'v') + u"']";
    for (auto _ : state) {
        benchmark::DoNotOptimize(finder->findAll(tree, query));
    }
    state.counters["items"] = kItems;
}

}  // namespace

int main(int argc, char** argv) {
    // The heap keeps what a tree frees for the next one instead of handing it
    // back to the system (and mapping large blocks afresh): every parser is
    // measured on memory that is already there, whatever ran before it,
    // rather than on the kernel clearing new pages.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, INT_MAX);
    Object::ModuleStart();
    xmlInitParser();
    for (Document& document : g_documents) {
        std::string suffix = std::string("/") + document.name;
        const std::pair<const char*, void (*)(benchmark::State&, Document*)> parsers[] = {
            {"orvella_readFile", OrvellaReadFile},
            {"orvella_readString", OrvellaReadString},
            {"pugixml", Pugixml},
            {"libxml2", Libxml2},
            {"expat", Expat},
        };
        for (const auto& [name, parse] : parsers) {
            benchmark::internal::Benchmark* run =
                benchmark::RegisterBenchmark((name + suffix).c_str(), parse, &document);
            // The largest documents run long enough for more than the first
            // iteration, which alone meets new memory.
            if (document.generated_bytes > (20 << 20)) {
                run->MinTime(5);
            }
        }
        if (document.generated_bytes <= (20 << 20)) {
            benchmark::RegisterBenchmark(("orvella_readFile_notingPositions" + suffix).c_str(),
                                         OrvellaReadFileNotingPositions, &document);
            benchmark::RegisterBenchmark(("orvella_writeString" + suffix).c_str(),
                                         OrvellaWriteString, &document);
        }
    }
    benchmark::RegisterBenchmark("orvella_findAll/long-last-step", OrvellaFindLongStep)
        ->RangeMultiplier(8)
        ->Range(1 << 10, 1 << 16)
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    xmlCleanupParser();
    for (const Document& document : g_documents) {
        if (!document.file.empty()) {
            std::filesystem::remove(std::filesystem::path(document.file.ToUtf8()));
        }
    }
    return 0;
}
