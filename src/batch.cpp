// Batch conversion: every script found under the paths of the command line, each converted as
// it would be alone, several at once, with one report line per script and a total.
#include "batch.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <exception>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <utility>
#include <vector>

#include "output_file.h"
#include "report.h"
#include "script_files.h"
#include "string_toolkit.h"

namespace {

constexpr std::string_view kScriptEnding = ".tvx";
constexpr std::string_view kOutputEnding = ".mxt";

bool EndsWithScriptEnding(std::string_view name) { return EndsWithNoCase(name, kScriptEnding); }

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// A file's identity, whatever path leads to it.
using FileId = std::pair<dev_t, ino_t>;

// A script of the batch: where it was found and where its conversion goes.
struct Script {
  std::string path;    // the path it was found under, joined with its place below it
  std::string output;  // the path of its conversion
  FileId id;
  std::string same_as;  // the script of the batch that is the same file ("": none), skipped
};

// The scripts of the batch in order, and the report lines of what could not be planned.
class BatchPlan {
 public:
  explicit BatchPlan(const CommandLine& command_line) : command_line_(command_line) {}

  void Build() {
    for (const std::string& path : command_line_.paths) AddPath(path);
  }

  std::vector<Script> scripts;
  std::set<FileId> script_ids;  // the files of the scripts
  std::string messages;         // "tvx2mxt: PATH: REASON" lines, in command-line order
  long failures = 0;            // the messages that report a failure
  std::vector<std::pair<std::string, std::string>> failed;  // the paths that failed, and why

 private:
  void Fail(const std::string& path, const std::string& reason) {
    messages += ReasonLine(path, reason);
    ++failures;
    failed.emplace_back(path, reason);
  }

  void AddPath(const std::string& path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
      Fail(path, std::strerror(errno));
      return;
    }
    if (!S_ISDIR(info.st_mode)) {
      size_t slash = path.rfind('/');
      AddScript(path, slash == std::string::npos ? path : path.substr(slash + 1),
                {info.st_dev, info.st_ino});
      return;
    }
    if (visited_.count({info.st_dev, info.st_ino}) != 0) return;  // named already
    size_t before = found_;
    Walk(path, "", info);
    if (found_ == before) messages += ReasonLine(path, "no .tvx scripts found");
  }

  // The scripts below `folder`, depth first, the entries of each folder sorted by name. A
  // folder reached a second time (through a symbolic link) is not walked again.
  void Walk(const std::string& folder, const std::string& relative, const struct stat& info) {
    if (!visited_.insert({info.st_dev, info.st_ino}).second) return;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
      Fail(folder, std::strerror(errno));
      return;
    }
    // A regular file is known from its entry (its inode and the folder's device); anything else
    // is looked at through its path (a link, to follow it).
    std::vector<std::pair<std::string, ino_t>> entries;
    while (const dirent* entry = readdir(dir)) {
      std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      entries.emplace_back(std::move(name), entry->d_type == DT_REG ? entry->d_ino : 0);
    }
    closedir(dir);
    std::sort(entries.begin(), entries.end());
    for (const auto& [name, regular_inode] : entries) {
      std::string path = JoinPath(folder, name);
      if (regular_inode != 0) {
        if (EndsWithScriptEnding(name)) {
          AddScript(path, JoinPath(relative, name), {info.st_dev, regular_inode});
        }
        continue;
      }
      struct stat entry_info;
      if (stat(path.c_str(), &entry_info) != 0) {
        // A dangling link is no script; a script that cannot be looked at is reported.
        if (EndsWithScriptEnding(name) && errno != ENOENT) Fail(path, std::strerror(errno));
        continue;
      }
      if (S_ISDIR(entry_info.st_mode)) {
        Walk(path, JoinPath(relative, name), entry_info);
      } else if (S_ISREG(entry_info.st_mode) && EndsWithScriptEnding(name)) {
        AddScript(path, JoinPath(relative, name), {entry_info.st_dev, entry_info.st_ino});
      }
    }
  }

  // A script reached a second time (named twice, through a symbolic link, a hard link) converts
  // once; the second is reported as skipped.
  void AddScript(const std::string& path, const std::string& relative, FileId id) {
    ++found_;
    Script script{path, OutputPath(path, relative), id, ""};
    auto [first, fresh_file] = first_of_file_.emplace(id, path);
    if (!fresh_file) {
      script.same_as = first->second;
      scripts.push_back(std::move(script));
      return;
    }
    script_ids.insert(script.id);
    auto [claimed, fresh] = outputs_.emplace(script.output, scripts.size());
    if (!fresh && !command_line_.check) {
      Fail(path, script.output + " is already the output of " + scripts[claimed->second].path);
      return;
    }
    scripts.push_back(std::move(script));
  }

  std::string OutputPath(const std::string& path, const std::string& relative) const {
    if (command_line_.output.has_value()) {
      return JoinPath(*command_line_.output, OutputName(relative));
    }
    return FolderOf(path) + OutputName(path.substr(FolderOf(path).size()));
  }

  const CommandLine& command_line_;
  std::set<FileId> visited_;
  std::map<FileId, std::string> first_of_file_;  // the first script of each file
  size_t found_ = 0;                             // the scripts met, converted or not
  std::map<std::string, size_t> outputs_;
};

// Creates the folders of `path` that do not exist yet. Returns 0, or the error of the folder
// that could not be created (named in `failed`).
int CreateFolders(const std::string& path, std::string& failed) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    std::string folder = path.substr(0, slash);
    if (mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) {
      failed = folder;
      return errno;
    }
  }
  return 0;
}

// What became of one script: its report and its findings.
struct ScriptOutcome {
  Tally tally;
  std::vector<tvx2mxt::Finding> findings;  // kept for -W and check mode
  std::optional<std::string> failure;      // the reason line
  std::optional<std::string> backup;       // where the output's previous content was kept
  std::optional<ScriptReport> report;      // its part of the report (--report)
};

// Whether the output of `script` is the file of a script of the batch.
bool OverwritesAScript(const Script& script, const std::set<FileId>& script_ids) {
  struct stat info;
  return stat(script.output.c_str(), &info) == 0 && script_ids.count({info.st_dev, info.st_ino});
}

ScriptOutcome ConvertOne(const CommandLine& command_line, const Script& script,
                         const std::set<FileId>& script_ids, const ReportRequest* request,
                         const std::string& anchor) {
  ScriptOutcome outcome;
  ReportedScript report(request, script.path,
                        command_line.check ? std::nullopt : std::optional(script.output), anchor);
  const auto fail = [&](const std::string& path, const std::string& reason) {
    outcome.failure = ReasonLine(path, reason);
    outcome.report = report.Failed(path, reason);
    return std::move(outcome);
  };
  if (!script.same_as.empty()) {  // converted as the other script
    outcome.report = report.Skipped("same file as " + script.same_as);
    return outcome;
  }
  // An output must not overwrite any script of the batch (check mode writes none).
  if (!command_line.check && OverwritesAScript(script, script_ids)) {
    return fail(script.path, script.output + " would overwrite a script of the batch");
  }
  const bool keep_findings = command_line.warnings || command_line.check;
  tvx2mxt::Options options;
  options.echo_original = command_line.echo_original;
  options.on_finding = [&](const tvx2mxt::Finding& finding) {
    outcome.tally.Add(finding);
    if (keep_findings) outcome.findings.push_back(finding);
  };
  report.Attach(options);
  if (!command_line.check && command_line.output.has_value()) {
    std::string folder;
    if (int error = CreateFolders(script.output, folder)) return fail(folder, std::strerror(error));
  }
  ScriptFile file{script.path, false, script.output, !command_line.check, command_line.backup};
  FileConversion conversion = ParseFile(file, options);
  outcome.backup = std::move(conversion.backup);
  if (conversion.failure) return fail(conversion.failure->path, conversion.failure->reason);
  outcome.report = report.Converted(outcome.backup, conversion.closing);
  return outcome;
}

// The order in which several jobs take the scripts: one script of each output folder in turn,
// so that jobs that work at once write into different folders (a file system creates and
// renames the files of one folder one at a time).
std::vector<size_t> WorkOrder(const std::vector<Script>& scripts) {
  std::vector<std::vector<size_t>> folders;
  std::map<std::string, size_t> folder_index;
  for (size_t k = 0; k < scripts.size(); ++k) {
    auto [at, fresh] = folder_index.emplace(FolderOf(scripts[k].output), folders.size());
    if (fresh) folders.emplace_back();
    folders[at->second].push_back(k);
  }
  std::vector<size_t> order;
  order.reserve(scripts.size());
  for (size_t round = 0; order.size() < scripts.size(); ++round) {
    for (const std::vector<size_t>& folder : folders) {
      if (round < folder.size()) order.push_back(folder[round]);
    }
  }
  return order;
}

// Runs the conversions on `jobs` threads (on the calling thread for one job). `report` gets
// each outcome in script order as soon as it and all before it are done, from the thread that
// finished the last of them, one report at a time.
template <typename Report>
void RunJobs(const CommandLine& command_line, const BatchPlan& plan, unsigned jobs,
             const ReportRequest* request, Report report) {
  const std::vector<Script>& scripts = plan.scripts;
  std::vector<std::optional<ScriptOutcome>> outcomes(scripts.size());
  std::vector<size_t> order(scripts.size());
  for (size_t k = 0; k < order.size(); ++k) order[k] = k;
  if (jobs > 1) order = WorkOrder(scripts);
  std::mutex mutex;
  size_t reported = 0;  // the scripts before this one are reported
  std::atomic<size_t> next{0};
  auto work = [&] {
    for (size_t taken = next++; taken < scripts.size(); taken = next++) {
      const size_t k = order[taken];
      // The sections of the page: the paths that failed first, then the scripts.
      const std::string anchor = request != nullptr ? SectionAnchor(plan.failed.size() + k) : "";
      ScriptOutcome outcome =
          ConvertOne(command_line, scripts[k], plan.script_ids, request, anchor);
      std::lock_guard<std::mutex> lock(mutex);
      outcomes[k] = std::move(outcome);
      for (; reported < scripts.size() && outcomes[reported].has_value(); ++reported) {
        report(scripts[reported], *outcomes[reported]);
        outcomes[reported].reset();
      }
    }
  };
  if (jobs <= 1) {
    work();
    return;
  }
  // Memory that runs out in a job ends the batch as it ends a single script: the job's output
  // files are given up as the exception leaves them, the other jobs take no new script, and the
  // exception goes on from the calling thread once they are done.
  std::exception_ptr failure;
  auto job = [&] {
    try {
      work();
    } catch (...) {
      std::lock_guard<std::mutex> lock(mutex);
      if (!failure) failure = std::current_exception();
      next = scripts.size();
    }
  };
  std::vector<std::thread> threads;
  for (unsigned k = 0; k < jobs; ++k) threads.emplace_back(job);
  for (std::thread& thread : threads) thread.join();
  if (failure) std::rethrow_exception(failure);
}

// The lines of one script, written as soon as it and every script before it are done: the
// reason of a failure (on standard error), the findings (-W: standard error; check mode:
// standard output), and the script's report line.
void ReportScript(const CommandLine& command_line, const Script& script,
                  const ScriptOutcome& outcome, ReportOutput& report) {
  if (!script.same_as.empty()) {
    report.Write(script.path + ": skipped: same file as " + script.same_as + "\n");
    return;
  }
  if (outcome.failure) {
    std::fputs(outcome.failure->c_str(), stderr);
    return;
  }
  for (const tvx2mxt::Finding& finding : outcome.findings) {
    if (command_line.check) {
      report.Write(FindingLine(script.path, finding));
    } else {
      std::fputs(FindingLine(script.path, finding).c_str(), stderr);
    }
  }
  if (command_line.check) return;
  std::string line = script.path + " -> " + script.output + ": " + CountsText(outcome.tally.counts);
  if (outcome.backup) line += " (previous kept as " + *outcome.backup + ")";
  report.Write(line + "\n");
}

void AddToTotal(const Script& script, const ScriptOutcome& outcome, Tally& total) {
  if (!script.same_as.empty()) {
    ++total.skipped;
    return;
  }
  ++total.scripts;
  if (outcome.failure) {
    ++total.failed;
    return;
  }
  total.Merge(outcome.tally);
}

}  // namespace

void Tally::Add(const tvx2mxt::Finding& finding) {
  counts.Add(finding.kind);
  if (finding.kind != tvx2mxt::FindingKind::kNotConverted) return;
  ++not_converted_words[CommandWordOf(finding.text)];
}

void Tally::Merge(const Tally& script) {
  AddCounts(counts, script.counts);
  for (const auto& [word, count] : script.not_converted_words) not_converted_words[word] += count;
}

std::string FindingLine(const std::string& path, const tvx2mxt::Finding& finding) {
  std::string line = path;
  line.append(":").append(std::to_string(finding.line)).append(": ");
  line.append(tvx2mxt::KindName(finding.kind)).append(": ").append(finding.text).append("\n");
  return line;
}

std::string CountsText(const tvx2mxt::Counts& counts) {
  return std::to_string(counts.not_converted) + " not converted, " +
         Plural(counts.semicolon_lines, "semicolon line", "semicolon lines") + ", " +
         Plural(counts.warnings, "warning", "warnings") + ", " + std::to_string(counts.dropped) +
         " dropped";
}

std::string TotalLine(const Tally& tally) {
  std::string line = "total: " + Plural(tally.scripts, "script", "scripts");
  if (tally.failed > 0) line += ", " + Plural(tally.failed, "failure", "failures");
  if (tally.skipped > 0) line += ", " + std::to_string(tally.skipped) + " skipped";
  line += ", " + CountsText(tally.counts);
  std::vector<std::pair<std::string, long>> words = MostFrequentFirst(tally.not_converted_words);
  if (words.size() > 10) words.resize(10);
  for (size_t k = 0; k < words.size(); ++k) {
    line += k == 0 ? "; most often not converted: " : ", ";
    line += (words[k].first.empty() ? "(empty)" : words[k].first) + " (" +
            std::to_string(words[k].second) + ")";
  }
  return line + "\n";
}

std::string OutputName(const std::string& script) {
  if (EndsWithScriptEnding(script)) {
    return script.substr(0, script.size() - kScriptEnding.size()) + std::string(kOutputEnding);
  }
  return script + std::string(kOutputEnding);
}

// Whether the report would replace a script or an output of the batch.
bool ReportReplacesAFile(const CommandLine& command_line, const BatchPlan& plan,
                         const std::string& report) {
  const ReportTarget target(report);
  return std::any_of(plan.scripts.begin(), plan.scripts.end(), [&](const Script& script) {
    return target.Replaces(script.path) || (!command_line.check && target.Replaces(script.output));
  });
}

int RunBatch(const CommandLine& command_line, ReportRequest* request) {
  BatchPlan plan(command_line);
  plan.Build();
  if (request != nullptr && ReportReplacesAFile(command_line, plan, request->path)) {
    std::fputs(ReasonLine(request->path, kReportOverwrites).c_str(), stderr);
    return 2;
  }
  std::fputs(plan.messages.c_str(), stderr);
  if (request != nullptr) {
    for (const auto& [path, reason] : plan.failed) {
      ReportedScript failed(request, path, std::nullopt,
                            SectionAnchor(request->run.scripts.size()));
      request->run.scripts.push_back(*failed.Failed(path, reason));
    }
  }

  unsigned jobs = command_line.jobs != 0 ? command_line.jobs
                                         : std::max(1u, std::thread::hardware_concurrency());
  jobs = static_cast<unsigned>(std::min<size_t>(jobs, std::max<size_t>(plan.scripts.size(), 1)));
  Tally total;
  // A path that failed before any conversion is a script that failed, as in the report file.
  total.scripts = plan.failures;
  total.failed = plan.failures;
  ReportOutput report;
  RunJobs(command_line, plan, jobs, request, [&](const Script& script, ScriptOutcome& outcome) {
    if (outcome.report) request->run.scripts.push_back(std::move(*outcome.report));
    ReportScript(command_line, script, outcome, report);
    AddToTotal(script, outcome, total);
  });
  report.Write(TotalLine(total));

  int status = 0;
  if (total.failed > 0) {
    status = 1;
  } else if (command_line.check && total.counts.Total() > 0) {
    status = 3;
  }
  return report.Finish(status);
}
