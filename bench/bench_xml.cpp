// Reading and writing a generated 10 MB XML document (elements, attributes, text,
// comments, CDATA), beside pugixml doing the same work on the same bytes.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "xml/uQvXmlDocument.h"

#ifdef QV_HAVE_PUGIXML
#include <pugixml.hpp>
#endif

// Every allocation of the program is counted, so a parse can report its allocations. Not
// inlined, so the compiler does not take the malloc inside for a mismatch with delete.
namespace {
size_t Allocations = 0;
}  // namespace

[[gnu::noinline]] void* operator new(size_t Size) {
    ++Allocations;
    if (void* P = std::malloc(Size == 0 ? 1 : Size)) return P;
    throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* P) noexcept { std::free(P); }
[[gnu::noinline]] void operator delete(void* P, size_t) noexcept { std::free(P); }

namespace {

// An indented catalogue of items, about 10 MB.
const std::string& Document() {
    static const std::string Text = [] {
        std::string S = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<catalog version=\"2\">\n";
        for (int I = 0; S.size() < 10 * 1000 * 1000; ++I) {
            const std::string N = std::to_string(I);
            S += "  <item id=\"" + N + "\" name=\"Item " + N + "\" price=\"" + std::to_string(I % 997) +
                 ".50\" stock='" + std::to_string(I * 7 % 1000) + "'>\n";
            S += "    <title>Title of item " + N + "</title>\n";
            S += "    <description>A longer text about item " + N +
                 " that runs over a line, with an &amp; and a &lt;tag&gt; in it.</description>\n";
            S += "    <!-- note " + N + " -->\n";
            S += "    <data><![CDATA[raw <bytes> & more " + N + "]]></data>\n";
            S += "    <tags><tag>a</tag><tag>b</tag><empty/></tags>\n";
            S += "  </item>\n";
        }
        return S + "</catalog>\n";
    }();
    return Text;
}

int CountNodes(const TQvXmlDocument& Doc) {
    int Count = 0;
    std::vector<const TXmlNode*> Pending;
    for (int I = 0; I < Doc.RootNodeCount(); ++I) Pending.push_back(Doc.RootNodes(I));
    while (!Pending.empty()) {
        const TXmlNode* N = Pending.back();
        Pending.pop_back();
        ++Count;
        for (int I = 0; I < N->NodeCount(); ++I) Pending.push_back(N->Nodes(I));
    }
    return Count;
}

// Arg 0: white space kept as nodes (the default); 1: dropped.
void BM_XmlParse(benchmark::State& State) {
    const std::string& Text = Document();
    TMemoryStream Stream(Text);
    TQvXmlDocument Doc(nullptr);
    if (State.range(0) == 1) Doc.SetXmlFormat(xfCompact);
    size_t Before = 0, After = 0;
    for (auto _ : State) {
        Stream.SetPosition(0);
        Before = Allocations;
        Doc.LoadFromStream(Stream);
        After = Allocations;
    }
    State.SetBytesProcessed(static_cast<int64_t>(State.iterations() * Text.size()));
    const int Nodes = CountNodes(Doc);
    State.counters["nodes"] = Nodes;
    State.counters["allocs/node"] = static_cast<double>(After - Before) / Nodes;
}
BENCHMARK(BM_XmlParse)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_XmlWrite(benchmark::State& State) {
    const std::string& Text = Document();
    TMemoryStream Stream(Text);
    TQvXmlDocument Doc(nullptr);
    Doc.LoadFromStream(Stream);
    Doc.SetEolStyle(esLF);
    for (auto _ : State) {
        TMemoryStream Out;
        Doc.SaveToStream(Out);
        benchmark::DoNotOptimize(Out.Size());
    }
    State.SetBytesProcessed(static_cast<int64_t>(State.iterations() * Text.size()));
}
BENCHMARK(BM_XmlWrite)->Unit(benchmark::kMillisecond);

#ifdef QV_HAVE_PUGIXML

// Arg 0: comments kept, white-space text dropped; 1: everything kept (parse_full).
void BM_PugiParse(benchmark::State& State) {
    const std::string& Text = Document();
    const unsigned Options = State.range(0) == 1 ? pugi::parse_full : pugi::parse_default | pugi::parse_comments;
    pugi::xml_document Doc;
    for (auto _ : State) {
        const pugi::xml_parse_result R = Doc.load_buffer(Text.data(), Text.size(), Options);
        if (!R) State.SkipWithError(R.description());
    }
    State.SetBytesProcessed(static_cast<int64_t>(State.iterations() * Text.size()));
}
BENCHMARK(BM_PugiParse)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_PugiWrite(benchmark::State& State) {
    const std::string& Text = Document();
    pugi::xml_document Doc;
    Doc.load_buffer(Text.data(), Text.size(), pugi::parse_full);
    struct TStringWriter : pugi::xml_writer {
        std::string Out;
        void write(const void* Data, size_t Size) override { Out.append(static_cast<const char*>(Data), Size); }
    };
    for (auto _ : State) {
        TStringWriter W;
        W.Out.reserve(Text.size() + Text.size() / 8);
        Doc.save(W, "", pugi::format_raw);
        benchmark::DoNotOptimize(W.Out.size());
    }
    State.SetBytesProcessed(static_cast<int64_t>(State.iterations() * Text.size()));
}
BENCHMARK(BM_PugiWrite)->Unit(benchmark::kMillisecond);

#endif

}  // namespace
