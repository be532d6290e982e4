// Scanner throughput side by side in one run, on one in-memory buffer of real
// source text: the plain per-byte reference against every kernel this
// processor runs, each fed in views of 64 KiB as a report feeds them. Then a
// whole-tree check: every source file of the corpus must get the reference's
// tally from every kernel, and the report's walk the reference's sums.
//
//   scanner_bench [--corpus=FOLDER] [--corpus_mib=N] [benchmark flags]
//
// The corpus defaults to $MOSSGRAIN_BENCH_CORPUS, else this repository's own
// source folders. The buffer holds the corpus's source files concatenated, cut at N
// MiB (default 64) and repeated up to it when the corpus is smaller.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/source_tree.h"
#include "counting/scan_kernels.h"
#include "counting/tally_folder.h"
#include "tests/support/reference_scanner.h"

#ifndef MOSSGRAIN_SOURCE_DIR
#error "MOSSGRAIN_SOURCE_DIR must name the repository"
#endif

namespace {

constexpr size_t kView = 65536;

struct Options {
    std::vector<std::string> corpus;  // folders
    size_t bufferBytes = size_t{64} << 20;
};

// Set when a check fails, so that the exit status tells.
bool failed = false;

void Fail(benchmark::State& state, const std::string& why) {
    failed = true;
    state.SkipWithError(why.substr(0, 2000).c_str());
}

Options& Settings() {
    static Options options;
    return options;
}

bool ReadWhole(const std::string& path, std::string& text) {
    text.clear();
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    char chunk[kView];
    ssize_t n;
    while ((n = read(fd, chunk, sizeof chunk)) > 0) text.append(chunk, static_cast<size_t>(n));
    close(fd);
    return n == 0;
}

std::vector<std::string> SourceFiles() {
    std::vector<std::string> files;
    for (const std::string& root : Settings().corpus) {
        ForEachSourceFile(root, [&](const std::string& path) {
            files.push_back(path);
            return true;
        });
    }
    return files;
}

const std::string& Buffer() {
    static const std::string buffer = [] {
        const size_t cap = Settings().bufferBytes;
        std::vector<std::string> files = SourceFiles();
        std::sort(files.begin(), files.end());
        std::string all, text;
        for (const std::string& path : files) {
            if (all.size() >= cap) break;
            if (ReadWhole(path, text)) all += text;
        }
        if (all.empty()) return all;
        while (all.size() < cap) all.append(all, 0, std::min(all.size(), cap - all.size()));
        all.resize(cap);
        return all;
    }();
    return buffer;
}

const unsigned char* Bytes(const std::string& text) {
    return reinterpret_cast<const unsigned char*>(text.data());
}

template <typename Scanner, typename Feed>
LineTally ScanInViews(const std::string& text, Feed feed) {
    Scanner scanner;
    for (size_t at = 0; at < text.size(); at += kView) {
        feed(scanner, Bytes(text) + at, std::min(kView, text.size() - at));
    }
    return scanner.Finish();
}

LineTally ReferenceInViews(const std::string& text) {
    return ScanInViews<ReferenceScanner>(
        text, [](ReferenceScanner& s, const unsigned char* p, size_t n) { s.Feed(p, n); });
}

LineTally KernelInViews(ScanKernel kernel, const std::string& text) {
    return ScanInViews<LineScanner>(text, [kernel](LineScanner& s, const unsigned char* p,
                                                   size_t n) { FeedWith(kernel, s, p, n); });
}

void ReportThroughput(benchmark::State& state, const std::string& text, const LineTally& tally) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
    state.counters["lines/s"] = benchmark::Counter(
        static_cast<double>(tally.total) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate);
}

void BM_ScanReference(benchmark::State& state) {
    const std::string& text = Buffer();
    LineTally tally;
    for (auto _ : state) {
        tally = ReferenceInViews(text);
        benchmark::DoNotOptimize(tally);
    }
    ReportThroughput(state, text, tally);
}

void BM_ScanKernel(benchmark::State& state, ScanKernel kernel) {
    const std::string& text = Buffer();
    static const LineTally expected = ReferenceInViews(text);
    LineTally tally;
    for (auto _ : state) {
        tally = KernelInViews(kernel, text);
        benchmark::DoNotOptimize(tally);
    }
    if (tally != expected) Fail(state, "the tally differs from the reference's");
    ReportThroughput(state, text, tally);
}

// Every file of the corpus, every kernel, against the reference; and the
// report's own walk against the reference's sums.
void BM_TreeMatchesReference(benchmark::State& state) {
    for (auto _ : state) {
        uint64_t files = 0, bytes = 0;
        LineTally sum;
        std::string text, error;
        for (const std::string& path : SourceFiles()) {
            if (!ReadWhole(path, text)) {
                error = "cannot read " + path;
                break;
            }
            const LineTally reference = ReferenceInViews(text);
            for (ScanKernel kernel : kEveryKernel) {
                if (KernelRuns(kernel) && KernelInViews(kernel, text) != reference) {
                    error += std::string(KernelName(kernel)) + " differs on " + path + "; ";
                }
            }
            if (reference.total != 0) ++files;
            bytes += text.size();
            sum += reference;
        }
        uint64_t walkFiles = 0;
        LineTally walkSum;
        os::ViewReader reader(kView);
        for (const std::string& root : Settings().corpus) {
            uint64_t rootFiles;
            LineTally rootSum;
            if (!TallyFolder(root.c_str(), reader, rootFiles, rootSum))
                error += "the walk failed; ";
            walkFiles += rootFiles;
            walkSum += rootSum;
        }
        if (error.empty() && (walkFiles != files || walkSum != sum)) {
            error += "the walk's sums differ from the reference's; ";
        }
        if (!error.empty()) {
            Fail(state, error);
            break;
        }
        state.counters["files"] = static_cast<double>(files);
        state.counters["MB"] = static_cast<double>(bytes) / 1e6;
        state.counters["lines"] = static_cast<double>(sum.total);
    }
}

// Takes this program's own flags out of argv before the benchmark library
// sees them.
void ParseOwnFlags(int& argc, char** argv) {
    Options& options = Settings();
    if (const char* corpus = std::getenv("MOSSGRAIN_BENCH_CORPUS"); corpus && *corpus) {
        options.corpus = {corpus};
    }
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--corpus=", 0) == 0) {
            options.corpus = {arg.substr(9)};
        } else if (arg.rfind("--corpus_mib=", 0) == 0) {
            options.bufferBytes = std::max<size_t>(1, std::strtoull(arg.c_str() + 13, nullptr, 10))
                                  << 20;
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    if (options.corpus.empty()) {
        for (const char* folder : {"bench", "counting", "dialog", "platform", "plugin", "report",
                                   "samples", "standin", "tests"}) {
            options.corpus.push_back(std::string(MOSSGRAIN_SOURCE_DIR) + "/" + folder);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    ParseOwnFlags(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
    if (Buffer().empty()) {
        std::fprintf(stderr, "scanner_bench: no source files in the corpus\n");
        return 2;
    }
    std::string corpus;
    for (const std::string& root : Settings().corpus) corpus += (corpus.empty() ? "" : " ") + root;
    benchmark::AddCustomContext("corpus", corpus);
    benchmark::AddCustomContext("buffer_bytes", std::to_string(Buffer().size()));
    std::string kernels;
    for (ScanKernel kernel : kEveryKernel) {
        if (KernelRuns(kernel))
            kernels += std::string(kernels.empty() ? "" : " ") + KernelName(kernel);
    }
    benchmark::AddCustomContext("kernels_that_run", kernels);
    benchmark::AddCustomContext("fastest_kernel", KernelName(FastestKernel()));

    benchmark::RegisterBenchmark("Scan/reference", BM_ScanReference)->Unit(benchmark::kMillisecond);
    for (ScanKernel kernel : kEveryKernel) {
        if (!KernelRuns(kernel)) continue;
        benchmark::RegisterBenchmark((std::string("Scan/") + KernelName(kernel)).c_str(),
                                     BM_ScanKernel, kernel)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("TreeMatchesReference", BM_TreeMatchesReference)
        ->Iterations(1)
        ->Repetitions(1)
        ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return failed ? 1 : 0;
}
