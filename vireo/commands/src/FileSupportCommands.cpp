// The file-system commands.
#include "vireo/commands/FileSupportCommands.h"

#include "vireo/console/src/ConsoleText.h"
#include "vireo/filesupport/Dir.h"
#include "vireo/filesupport/File.h"
#include "vireo/filesupport/FileExceptions.h"
#include "vireo/filesupport/SpecialDirs.h"
#include "vireo/utility/Numbers.h"

namespace vireo {
namespace commands {
namespace filesupport {
namespace {

using ::vireo::filesupport::Dir;
using ::vireo::filesupport::File;
using utility::UTF16String;

struct SpecialDir {
  char16_t const* label;
  Dir (*get)();
};

SpecialDir const kSpecialDirs[] = {
    {u"App Dir = \t\t", Dir::AppDir},
    {u"Executable Dir = \t\t", ::vireo::filesupport::commondirs::ExecutableDir},
    {u"Resources Dir = \t\t", ::vireo::filesupport::commondirs::ResourcesDir},
    {u"Package Dir = \t\t", Dir::PackageDir},
    {u"Common Files Dir = \t\t", Dir::CommonFilesDir},
    {u"Plugins Dir = \t\t", ::vireo::filesupport::commondirs::PluginsDir},
    {u"Required Plugins Dir = \t\t", ::vireo::filesupport::commondirs::RequiredPluginsDir},
    {u"User Docs Dir = \t\t", Dir::UserDocsDir},
    {u"Temp Dir = \t\t", Dir::TempDir},
    {u"Pref Dir = \t\t", Dir::PrefDir},
    {u"Global Pref Dir = \t\t", Dir::GlobalPrefDir},
};

UTF16String TimeText(unsigned long long fileTime) {
  return utility::NumberToString(static_cast<long long>(fileTime));
}

// Writes the label and what `value` gives, or "Threw <what>" when it throws ExceptionT.
template <class ExceptionT, class ValueF>
void Property(UTF16OutputStream& out, char16_t const* label, char16_t const* what,
              ValueF value) {
  out << label;
  try {
    out << value();
  } catch (ExceptionT const&) {
    out << u"Threw " << what;
  }
  console::impl::EndLine(out);
}

void Found(UTF16OutputStream& out, bool found, bool withFullStop) {
  out << (found ? u"    found" : u"    not found");
  if (withFullStop) out << u".";
  console::impl::EndLine(out);
}

}  // namespace

void ListDirs::Execute(UTF16String const&, UTF16OutputStream& out) {
  for (SpecialDir const& dir : kSpecialDirs) {
    Property< ::vireo::filesupport::dir_exception>(out, dir.label, u"dir_exception",
                                                   [&] { return dir.get().FullPath(); });
  }
}

void ListVols::Execute(UTF16String const&, UTF16OutputStream& out) {
  console::impl::WriteLine(out, u"List Volumes: ");
  for (Dir::DirIterator volume = Dir::BeginVolumes(); volume != Dir::EndVolumes(); ++volume) {
    out << u"  " << (*volume).FullPath();
    console::impl::EndLine(out);
  }
}

void FileExists::Execute(UTF16String const& arguments, UTF16OutputStream& out) {
  File const file(arguments);
  out << u"File.FullPath: " << file.FullPath();
  console::impl::EndLine(out);
  bool const exists = file.Exists();
  Found(out, exists, true);
  if (!exists) return;
  typedef ::vireo::filesupport::file_exception Failure;
  char16_t const* const what = u"file_exception";
  Property<Failure>(out, u"   File.Created: ", what, [&] { return TimeText(file.Created()); });
  Property<Failure>(out, u"   File.Modified: ", what, [&] { return TimeText(file.Modified()); });
  File named(file);
  Property<Failure>(out, u" File.GetName: ", what, [&] { return named.GetName(); });
  Property<Failure>(out, u" File.GetTitle: ", what, [&] { return named.GetTitle(); });
  Property<Failure>(out, u" File.GetExtension: ", what, [&] { return named.GetExtension(false); });
  Property<Failure>(out, u" File.GetExtension toLower: ", what,
                    [&] { return named.GetExtension(true); });
}

void DirExists::Execute(UTF16String const& arguments, UTF16OutputStream& out) {
  Dir const dir(arguments);
  out << u"Directory Path: " << dir.FullPath();
  console::impl::EndLine(out);
  bool const exists = dir.Exists();
  Found(out, exists, true);
  if (!exists) return;
  typedef ::vireo::filesupport::dir_exception Failure;
  char16_t const* const what = u"dir_exception";
  Dir named(dir);
  Property<Failure>(out, u" Dir Name: ", what, [&] { return named.GetName(); });
  Dir const parent = named.Parent();
  Property<Failure>(out, u" Parent Path: ", what, [&] { return parent.FullPath(); });
  Found(out, parent.Exists(), false);
  Property<Failure>(out, u"   Dir.Created: ", what, [&] { return TimeText(dir.Created()); });
  Property<Failure>(out, u"   Dir.Modified: ", what, [&] { return TimeText(dir.Modified()); });
}

}  // namespace filesupport
}  // namespace commands
}  // namespace vireo
