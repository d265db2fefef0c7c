// The readers' own work on large generated inputs, each at several sizes so
// that its growth can be read off (scripts/bench compares neighbouring sizes).
//
// Every benchmark times one call of measured() per iteration and nothing
// else (timeEach), so that callgrind can count the instructions of exactly
// the timed work (bench/count_instructions.py, --toggle-collect on measured).

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_inputs.h"
#include "core/platform.h"
#include "core/plist_io.h"
#include "inspect/get_network.h"
#include "inspect/get_port.h"
#include "inspect/ifconfig_output.h"
#include "inspect/resolver_output.h"
#include "inventory/keyed_archive.h"
#include "inventory/mail_account_database.h"
#include "provider/provider_datas.h"
#include "provider/provider_encoder.h"
#include "tests/support/binary_plist_bytes.h"

namespace corvane::bench {
namespace {

constexpr int64_t kMB = 1024 * 1024;

// The quickest repetition is the one least disturbed by other work on a
// shared machine; scripts/bench reads it. How many repetitions, and how long
// each, come from the command line (defaults in main below), so that the
// instruction counts can run each benchmark once.
void repeated(benchmark::internal::Benchmark* b) {
  b->Unit(benchmark::kMillisecond)
      ->ReportAggregatesOnly(true)
      ->ComputeStatistics("min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
}

// The timed work of one iteration. Not inlined, so that it is one function
// that callgrind can single out.
template <typename Work>
[[gnu::noinline]] void measured(Work& work) {
  work();
}

// Times work once per iteration, after one untimed call. That call leaves
// the process as every later iteration finds it: the memory the work needs
// taken from the system, the caches filled. Without it, a repetition that
// runs after another benchmark's (they run shuffled) and holds one iteration,
// as those of the largest sizes do, would time a first call alone, which
// pays for fresh memory: a cost that only the largest size would carry.
template <typename Work>
void timeEach(benchmark::State& state, Work work) {
  work();
  for (auto _ : state) measured(work);
}

// A captured system with a generated store, made once per size.
const std::string& storeSystem(size_t bytes) {
  static std::map<size_t, std::unique_ptr<ScratchFolder>> systems;
  auto& folder = systems[bytes];
  if (!folder) {
    folder = std::make_unique<ScratchFolder>();
    writeStoreSystem(folder->path(), bytes);
  }
  return folder->path();
}

// Visits every value once, as a reader walking the whole store would: the
// count of keys and values (bench/store_vs_plistlib.py counts the same).
size_t walk(const Value& value) {
  size_t nodes = 1;
  if (const auto* d = value.dictionary())
    for (const auto& entry : *d) nodes += 1 + walk(entry.second);
  else if (const auto* a = value.array())
    for (const Value& child : *a) nodes += walk(child);
  return nodes;
}

void BM_StoreReadAndWalk(benchmark::State& state) {
  Platform platform({.root = storeSystem(static_cast<size_t>(state.range(0))), .pauses = false, .syslog = false});
  size_t nodes = 0;
  timeEach(state, [&] { benchmark::DoNotOptimize(nodes = walk(loadStore(platform))); });
  if (nodes < 1000) state.SkipWithError("the generated store was not read");
  state.counters["nodes"] = static_cast<double>(nodes);
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StoreReadAndWalk)->Arg(5 * kMB)->Arg(10 * kMB)->Arg(20 * kMB)->Apply(repeated);

void BM_GetNetwork(benchmark::State& state) {
  Platform platform({.root = storeSystem(static_cast<size_t>(state.range(0))), .pauses = false, .syslog = false});
  size_t locations = 0;
  timeEach(state, [&] { benchmark::DoNotOptimize(locations = getNetwork(platform).count()); });
  if (locations < 10) state.SkipWithError("the port list is empty");
  state.counters["locations"] = static_cast<double>(locations - 1);
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_GetNetwork)->Arg(5 * kMB)->Arg(10 * kMB)->Arg(20 * kMB)->Apply(repeated);

void BM_IfconfigParse(benchmark::State& state) {
  const std::string text = ifconfigOutput(static_cast<size_t>(state.range(0)));
  size_t records = 0;
  timeEach(state, [&] { benchmark::DoNotOptimize(records = addressRecordsFromIfconfig(text).count()); });
  if (records == 0) state.SkipWithError("no address records");
  state.counters["records"] = static_cast<double>(records);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_IfconfigParse)->Arg(10000)->Arg(20000)->Arg(40000)->Apply(repeated);

void BM_ResolverParse(benchmark::State& state) {
  const std::string text = digOutput(static_cast<size_t>(state.range(0)));
  std::optional<std::string> server;
  timeEach(state, [&] { benchmark::DoNotOptimize(server = serverFromResolverOutput(text, kDigServerPrefix)); });
  if (server != std::optional<std::string>("192.0.2.1")) state.SkipWithError("the server was not found");
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ResolverParse)->Arg(kMB / 4)->Arg(kMB / 2)->Arg(kMB)->Apply(repeated);

void BM_ProviderRead(benchmark::State& state) {
  ScratchFolder folder;
  EncodedProviderFile file = encodeProviderFile(providerText(static_cast<size_t>(state.range(0))), 2);
  if (!file.ok) {
    state.SkipWithError(file.error.c_str());
    return;
  }
  const std::string path = folder.path() + "/Corvane.idx";
  writeHostFile(path, file.bytes);
  ProviderDatas record;
  timeEach(state, [&] { benchmark::DoNotOptimize(record = ProviderDatas::loadFile(path)); });
  if (record.routerip != std::optional<std::string>("192.168.1.1"))
    state.SkipWithError("the provider file was not read");
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(file.bytes.size()));
}
BENCHMARK(BM_ProviderRead)->Arg(kMB / 2)->Arg(kMB)->Arg(2 * kMB)->Apply(repeated);

// A binary list of arrays that each hold the next one twice: refused in time
// that grows with its few bytes a level, not with the 2^levels values it
// would expand to. (Below the nesting limit, so that the expansion count is
// what refuses it.)
void BM_SharedArraysRefused(benchmark::State& state) {
  const std::string bytes = testing::sharedArraysBinary(static_cast<uint64_t>(state.range(0)));
  bool refused = false;
  timeEach(state, [&] { benchmark::DoNotOptimize(refused = parsePropertyList(bytes).isAbsent()); });
  if (!refused) state.SkipWithError("the list was not refused");
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_SharedArraysRefused)->Arg(60)->Arg(120)->Arg(240)->Apply(repeated);

// One dictionary of many keys, at sizes where a cost per key that grows with
// the dictionary shows in the instructions and not only in the time: below
// some 100,000 keys the library's XML reader, whose dictionary looks each new
// key up in a fixed number of hash chains, still counts nearly linear.
void BM_XmlDictionaryRead(benchmark::State& state) {
  const size_t keys = static_cast<size_t>(state.range(0));
  const std::string xml = xmlDictionary(keys);
  size_t read = 0;
  timeEach(state, [&] { benchmark::DoNotOptimize(read = parsePropertyList(xml).count()); });
  if (read != keys) state.SkipWithError("not every key was read");
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(xml.size()));
}
BENCHMARK(BM_XmlDictionaryRead)->Arg(100000)->Arg(200000)->Arg(400000)->Apply(repeated);

// The accounts and their archive, made once per size: every repetition
// would otherwise archive them again, and the library's binary writer takes
// longer than linear time over that many objects.
struct ArchivedAccounts {
  Value properties;
  std::string archive;
};

const ArchivedAccounts& archivedAccounts(size_t accounts) {
  static std::map<size_t, ArchivedAccounts> made;
  auto found = made.find(accounts);
  if (found == made.end()) {
    Value properties = accountProperties(accounts);
    std::string archive = encodeKeyedArchive(properties).value_or("");
    found = made.emplace(accounts, ArchivedAccounts{std::move(properties), std::move(archive)}).first;
  }
  return found->second;
}

void BM_KeyedArchiveDecode(benchmark::State& state) {
  const auto& [properties, archive] = archivedAccounts(static_cast<size_t>(state.range(0)));
  Value decoded;
  timeEach(state, [&] { benchmark::DoNotOptimize(decoded = decodeKeyedArchive(archive)); });
  if (!(decoded == properties)) state.SkipWithError("the archive did not decode to what was archived");
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(archive.size()));
}
BENCHMARK(BM_KeyedArchiveDecode)->Arg(1000)->Arg(2000)->Arg(4000)->Apply(repeated);

void BM_AccountsDatabaseLoad(benchmark::State& state) {
  ScratchFolder root;
  const size_t rows = static_cast<size_t>(state.range(0));
  writeStoreSystem(root.path(), 0);  // the version file; the store is not read
  std::string error = writeAccountsDatabase(root.path() + "/Users/user/Library/Accounts/Accounts3.sqlite", rows);
  if (!error.empty()) {
    state.SkipWithError(error.c_str());
    return;
  }
  Platform platform({.root = root.path(), .home = "/Users/user", .pauses = false, .syslog = false});
  size_t loaded = 0;
  timeEach(state,
           [&] { benchmark::DoNotOptimize(loaded = MailAccountDatabase(platform, "ZACCOUNTPROPERTY").count()); });
  if (loaded != rows) state.SkipWithError("not every row was loaded");
  state.counters["rows"] = static_cast<double>(loaded);
}
BENCHMARK(BM_AccountsDatabaseLoad)->Arg(5000)->Arg(10000)->Arg(20000)->Apply(repeated);

}  // namespace
}  // namespace corvane::bench

// Google Benchmark's main with this program's defaults in front of the
// command line, where a later flag of the same name overrides them: ten
// repetitions of at least a quarter second each, the repetitions of all
// benchmarks (and so the sizes of one reader) run in a shuffled order. A
// burst of other work on the machine then lands on some repetitions of every
// size instead of on all of one size, and the quickest of ten is more often
// an undisturbed one.
int main(int argc, char** argv) {
  // Every size keeps its memory between calls, as the small ones do anyway.
  // Left to itself, glibc hands a large size's freed heap back to the system
  // after each call and the next call faults it in again: a cost only the
  // largest sizes carry (getNetwork at 20 MB took x3 the time of 10 MB with
  // exactly twice the instructions), which is the allocator's, not the
  // reader's. A program run reads each input once, in fresh memory, at every
  // size alike.
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  std::vector<char*> args{argv[0]};
  std::string defaults[] = {"--benchmark_repetitions=10", "--benchmark_min_time=0.25",
                            "--benchmark_enable_random_interleaving=true"};
  for (auto& flag : defaults) args.push_back(flag.data());
  args.insert(args.end(), argv + 1, argv + argc);
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
