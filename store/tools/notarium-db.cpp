// notarium-db: makes, checks, exports, imports and backs up a notebook.
//
//   notarium-db create [FILE]      a new, empty, password-protected notebook
//   notarium-db check [FILE]       counts of entries and categories, or what is wrong
//   notarium-db export [FILE] --format json|markdown|html [-o OUT]
//                                  every category and entry, to OUT or the standard output
//   notarium-db import JSON [FILE] a new notebook from a JSON export
//   notarium-db backup [FILE] DEST a consistent, encrypted copy, also while the notebook is in use
//
// FILE is ./db.mdb when not given. Exit code 0 on success, 1 on failure, 2 for
// wrong use; --help on the tool or a command shows its usage.
#include "Exchange.h"
#include "Notebook.h"
#include "Sqlite.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>
#include <map>

namespace {

struct TCommand {
  const char* usage;
  const char* help;
};

const std::map<QString, TCommand> kCommands = {
    {QStringLiteral("create"),
     {"notarium-db create [FILE]", "Makes a new, empty notebook at FILE; an existing FILE is never overwritten.\n"}},
    {QStringLiteral("check"),
     {"notarium-db check [FILE]",
      "Checks the whole notebook and counts its entries and categories, or says what is wrong.\n"}},
    {QStringLiteral("export"),
     {"notarium-db export [FILE] --format json|markdown|html [-o OUT]",
      "Writes every category and entry of the notebook, in UTF-8, to OUT or the standard output.\n"
      "json is the exchange format that import reads back:\n"
      "  {\"format\":\"notarium-export\",\"version\":1,\"categories\":[{\"name\":..,\"entries\":\n"
      "    [{\"title\":..,\"body\":..,\"entered\":\"yyyy-MM-dd[Thh:mm:ss]\",\"favorite\":true|false}]}]}\n"
      "markdown and html are documents to read, one section per category.\n"}},
    {QStringLiteral("import"),
     {"notarium-db import JSON [FILE]",
      "Makes a new notebook at FILE holding a JSON export; an existing FILE is never touched,\n"
      "and an export that cannot be read leaves nothing behind.\n"}},
    {QStringLiteral("backup"),
     {"notarium-db backup [FILE] DEST",
      "Copies the notebook to DEST, whole and consistent even while the program writes to it,\n"
      "locked with the same password. DEST must not exist; the notebook is only read.\n"}},
};

void Print(FILE* out, const QString& text) { std::fprintf(out, "%s\n", text.toLocal8Bit().constData()); }

// The usage of one command, or of all; --help (exit code 0) tells what the command does too.
int Usage(FILE* out, int code, const QString& command = {}) {
  const auto one = kCommands.find(command);
  if (one != kCommands.end()) {
    std::fprintf(out, "usage: %s\n%s", one->second.usage, code == 0 ? one->second.help : "");
  } else {
    const char* lead = "usage: ";
    for (const auto& [name, c] : kCommands) {
      std::fprintf(out, "%s%s\n", lead, c.usage);
      lead = "       ";
    }
    std::fputs("notarium-db COMMAND --help tells more of a command.\n", out);
  }
  std::fputs("FILE is ./db.mdb when not given.\n", out);
  return code;
}

// Wrong use of the tool: the message and the usage of the command.
struct TWrongUse {
  QString message;
};

// A command's arguments: its options by name, and the others in order. `--` ends the options.
struct TArguments {
  std::map<QString, QString> options;
  QStringList positional;
  bool help = false;
};

TArguments Parse(const QStringList& args, const std::map<QString, QString>& valueOptions) {
  TArguments parsed;
  bool options = true;
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    if (options && a == QLatin1String("--")) {
      options = false;
    } else if (options && (a == QLatin1String("--help") || a == QLatin1String("-h"))) {
      parsed.help = true;
    } else if (options && a.startsWith(QLatin1Char('-')) && a.size() > 1) {
      const qsizetype eq = a.indexOf(QLatin1Char('='));
      const auto known = valueOptions.find(eq > 0 ? a.left(eq) : a);
      if (known == valueOptions.end()) throw TWrongUse{QStringLiteral("unknown option %1").arg(a)};
      if (eq > 0) {
        parsed.options[known->second] = a.mid(eq + 1);
      } else if (i + 1 < args.size()) {
        parsed.options[known->second] = args[++i];
      } else {
        throw TWrongUse{QStringLiteral("%1 needs a value").arg(a)};
      }
    } else {
      parsed.positional << a;
    }
  }
  return parsed;
}

QString Absolute(const QString& path) { return QFileInfo(path).absoluteFilePath(); }

QString NotebookArgument(const QStringList& positional, qsizetype at) {
  return Absolute(positional.size() > at ? positional[at] : QStringLiteral("db.mdb"));
}

void WriteAll(const QByteArray& bytes, const QString& out, const QString& notebook) {
  if (out.isEmpty() || out == QLatin1String("-")) {
    if (std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout) != std::size_t(bytes.size()) ||
        std::fflush(stdout) != 0)
      throw Exception(QStringLiteral("The export could not be written to the standard output."));
    return;
  }
  const QString target = Absolute(out);
  if (SameFile(target, notebook))
    throw Exception(QStringLiteral("%1 is the notebook itself; the export was not written.").arg(target));
  // Replaced whole or not at all: a failed export never leaves half a file where an older one was.
  QSaveFile file(target);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
    throw Exception(QStringLiteral("The export could not be written to %1: %2").arg(target, file.errorString()));
}

int Run(const QString& command, const QStringList& rest) {
  const auto format = [](const QString& name) {
    if (name == QLatin1String("json")) return TExportFormat::Json;
    if (name == QLatin1String("markdown")) return TExportFormat::Markdown;
    if (name == QLatin1String("html")) return TExportFormat::Html;
    throw TWrongUse{QStringLiteral("unknown format %1 (json, markdown or html)").arg(name)};
  };
  const TArguments args =
      Parse(rest, command == QLatin1String("export")
                      ? std::map<QString, QString>{{QStringLiteral("--format"), QStringLiteral("format")},
                                                   {QStringLiteral("-o"), QStringLiteral("out")},
                                                   {QStringLiteral("--output"), QStringLiteral("out")}}
                      : std::map<QString, QString>{});
  if (args.help) return Usage(stdout, 0, command);
  const QStringList& p = args.positional;
  const auto takes = [&](qsizetype least, qsizetype most) {
    if (p.size() < least || p.size() > most) throw TWrongUse{QStringLiteral("wrong number of arguments")};
  };
  if (command == QLatin1String("create")) {
    takes(0, 1);
    const QString file = NotebookArgument(p, 0);
    CreateNotebook(file);
    Print(stdout, QStringLiteral("Created the empty notebook %1.").arg(file));
  } else if (command == QLatin1String("check")) {
    takes(0, 1);
    const QString file = NotebookArgument(p, 0);
    const TNotebookCounts counts = CheckNotebook(file);
    Print(stdout,
          QStringLiteral("%1: %2 entries in %3 categories.").arg(file).arg(counts.entries).arg(counts.categories));
  } else if (command == QLatin1String("export")) {
    takes(0, 1);
    const auto chosen = args.options.find(QStringLiteral("format"));
    if (chosen == args.options.end()) throw TWrongUse{QStringLiteral("export needs --format json|markdown|html")};
    const TExportFormat f = format(chosen->second);
    const QString file = NotebookArgument(p, 0);
    const auto out = args.options.find(QStringLiteral("out"));
    WriteAll(WriteExport(ReadNotebook(file), f), out == args.options.end() ? QString() : out->second, file);
  } else if (command == QLatin1String("import")) {
    takes(1, 2);
    const QString json = Absolute(p[0]);
    const QString file = NotebookArgument(p, 1);
    QFile in(json);
    if (!in.open(QIODevice::ReadOnly))
      throw Exception(QStringLiteral("The export %1 cannot be read: %2").arg(json, in.errorString()));
    TExchangeNotebook notebook;
    try {
      notebook = ParseJsonExport(in.readAll());
    } catch (const EImportError& e) {
      throw Exception(QStringLiteral("%1 cannot be imported: %2 No notebook was made.").arg(json, e.Message()));
    }
    ImportNotebook(notebook, file);
    std::size_t entries = 0;
    for (const TExchangeCategory& c : notebook) entries += c.entries.size();
    Print(stdout, QStringLiteral("Made the notebook %1 with %2 entries in %3 categories.")
                      .arg(file)
                      .arg(entries)
                      .arg(notebook.size()));
  } else if (command == QLatin1String("backup")) {
    takes(1, 2);
    const QString file = NotebookArgument(p.size() == 2 ? p : QStringList(), 0);
    const QString dest = Absolute(p.last());
    const TNotebookCounts counts = BackupNotebook(file, dest);
    Print(stdout, QStringLiteral("Copied %1 to %2: %3 entries in %4 categories.")
                      .arg(file, dest)
                      .arg(counts.entries)
                      .arg(counts.categories));
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments().mid(1);
  if (args.isEmpty()) return Usage(stderr, 2);
  if (args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h")) return Usage(stdout, 0);
  if (!kCommands.count(args[0])) {
    Print(stderr, QStringLiteral("notarium-db: unknown command %1").arg(args[0]));
    return Usage(stderr, 2);
  }
  try {
    return Run(args[0], args.mid(1));
  } catch (const TWrongUse& wrong) {
    Print(stderr, QStringLiteral("notarium-db %1: %2").arg(args[0], wrong.message));
    return Usage(stderr, 2, args[0]);
  } catch (const Exception& e) {
    Print(stderr, e.Message());
    return 1;
  }
}
