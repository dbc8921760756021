// The patient list at start-up and on every exam start: loading 5,000 patient files from an
// archive in the page cache, and sorting the selection list's rows by name and by birthdate.
// Target: each under 0.5 s.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "archive/PatientRows.h"
#include "common/AppFolders.h"
#include "common/UserList.h"

namespace {

constexpr int kPatients = 5000;

// A private archive of kPatients patients, written once without syncing each file.
class Archive {
public:
    Archive() {
        char tmpl[] = "/tmp/patient_list_bench.XXXXXX";
        root_ = ::mkdtemp(tmpl);
        ::setenv("ProgramData", root_.c_str(), 1);
        ResetAppFoldersForTesting();
        const std::string data = GetDataFolder();
        std::filesystem::create_directories(data);
        for (int i = 1; i <= kPatients; ++i) {
            char id[16];
            std::snprintf(id, sizeof id, "%04d", i);
            std::filesystem::create_directory(data + id);
            // Names and birthdates in an order unlike the ids'.
            const int k = (i * 7919) % kPatients;
            char body[512];
            std::snprintf(body, sizeof body,
                          "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<quarnet syntax=\"1\">\r\n"
                          "  <user id=\"%s\" syntax=\"2\">\r\n    <name>Patient %05d</name>\r\n"
                          "    <sex>Female</sex>\r\n    <birthdate>%04d-%02d-%02d</birthdate>\r\n"
                          "    <note>note</note>\r\n    <last_store_info_id>0</last_store_info_id>\r\n"
                          "  </user>\r\n</quarnet>\r\n",
                          id, k, 1930 + k % 90, 1 + k % 12, 1 + k % 28);
            std::ofstream(data + id + "/" + id + ".xml", std::ios::binary) << body;
        }
    }
    ~Archive() { std::filesystem::remove_all(root_); }

private:
    std::string root_;
};

Archive& TheArchive() {
    static Archive archive;
    return archive;
}

void BM_LoadAll(benchmark::State& state) {
    TheArchive();
    for (auto _ : state) {
        CUserList list;
        list.LoadAll();
        if (list.m_lstUsers.size() != kPatients)
            state.SkipWithError("patients missing");
        benchmark::DoNotOptimize(list.m_lstUsers.data());
    }
}
BENCHMARK(BM_LoadAll)->Unit(benchmark::kMillisecond);

// The rows of every patient, then sorted by the clicked column: 100 name descending, 301
// birthdate ascending.
void BM_FillAndSortRows(benchmark::State& state) {
    TheArchive();
    CUserList list;
    list.LoadAll();
    const int code = static_cast<int>(state.range(0));
    for (auto _ : state) {
        list.BeginSearch("");
        std::vector<PatientRow> rows = CollectPatientRows(list);
        SortPatientRows(rows, code);
        benchmark::DoNotOptimize(rows.data());
    }
}
BENCHMARK(BM_FillAndSortRows)->Arg(100)->Arg(301)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
