// The shell scripts of a fix kit. They repeat the repair's install steps in
// POSIX sh, so that they run on the captured Mac without Corvane.

#include <string>

#include "core/text.h"
#include "repair/fix_kit.h"

namespace corvane {
namespace {

// Shared by both scripts: the values, --root, the tool runner and the paths.
constexpr const char* kPrelude = R"SH(
# --root DIR: act on a captured system in DIR instead of this Mac.
kit=`dirname "$0"`
kit=`cd "$kit" && pwd`
root=
while [ $# -gt 0 ]; do
  case "$1" in
    --root) [ $# -ge 2 ] || { echo "usage: $0 [--root DIR]" >&2; exit 2; }; root=$2; shift 2 ;;
    *) echo "usage: $0 [--root DIR]" >&2; exit 2 ;;
  esac
done
if [ -n "$root" ]; then
  root=`cd "$root" && pwd` || exit 1
  [ "$root" = / ] && root=
fi

fail() {
  echo "$script: $*" >&2
  exit 1
}

# Runs a system tool (under the root) and says which one failed.
run() {
  tool=$1
  shift
  "$root$tool" "$@" || { echo "$script: $tool $* failed" >&2; return 1; }
}

checksum() {
  cksum < "$1" | awk '{ print $1 " " $2 }'
}

live="$root$STORE"
store_file=`basename "$STORE"`
staged="`dirname "$live"`/.corvane-$store_file.new"
backups_path="/Library/Application Support/Corvane/backups"
backups="$root$backups_path"
if [ -z "$root" ] && [ "`id -u`" != 0 ]; then
  fail "run it with administrator rights: sudo sh $0"
fi
)SH";

constexpr const char* kApplyBody = R"SH(
[ -f "$live" ] || fail "$STORE is missing; nothing was changed"
[ "`checksum "$live"`" = "$CAPTURED_CHECKSUM" ] ||
  fail "the network settings of this Mac have changed since the capture; nothing was changed. Run corvane-capture again and send the new archive."

umask 077
work="${TMPDIR:-/tmp}"
work="${work%/}/corvane-kit.$$"
mkdir "$work" || fail "cannot make the working folder $work"
trap 'rm -rf "$work"' 0
trap 'rm -rf "$work"; exit 130' 2
trap 'rm -rf "$work"; exit 143' 15
trap 'rm -rf "$work"; exit 129' 1

# The repaired store with this Mac's secrets put back.
copy="$work/$store_file"
expected="$work/expected"
if grep '@@corvane-secret:' "$kit/store/$store_file" >/dev/null 2>&1; then
  [ -n "$SECRETS_FILE" ] && [ -s "$root$SECRETS_FILE" ] ||
    fail "the private file with this Mac's passwords ($SECRETS_FILE) is missing; nothing was changed. Run corvane-capture again."
  awk '
    FNR == NR {
      if (want > 0) {
        value = got ? value "\n" $0 : $0
        got++
        if (got == want) { secret[key] = value; want = 0 }
        next
      }
      tab = index($0, "\t")
      key = substr($0, 1, tab - 1)
      want = substr($0, tab + 1) + 0
      got = 0
      value = ""
      next
    }
    {
      line = $0
      out = ""
      while ((i = index(line, "@@corvane-secret:")) > 0) {
        j = index(substr(line, i + 2), "@@")
        if (j == 0) break
        key = substr(line, i, j + 3)
        if (!(key in secret)) break
        out = out substr(line, 1, i - 1) secret[key]
        line = substr(line, i + length(key))
      }
      print out line
    }' "$root$SECRETS_FILE" "$kit/store/$store_file" > "$copy" || fail "cannot put the passwords back; nothing was changed"
  if grep '@@corvane-secret:' "$copy" >/dev/null 2>&1; then
    fail "the private file $SECRETS_FILE does not belong to this capture; nothing was changed. Run corvane-capture again."
  fi
else
  cp "$kit/store/$store_file" "$copy" || fail "cannot copy the repaired store; nothing was changed"
fi
chmod 644 "$copy"
cp "$copy" "$expected" || fail "cannot copy the repaired store; nothing was changed"

# A backup of the live store, checked.
stamp=`date -u +%Y%m%d-%H%M%S`
base=`echo "$store_file" | sed 's/\.[^.]*$//'`
extension=`echo "$store_file" | sed 's/.*\.//'`
sequence=1
while [ -e "$backups/$base-$stamp-$sequence.$extension" ]; do sequence=`expr $sequence + 1`; done
backup_name="$base-$stamp-$sequence.$extension"
backup="$backups/$backup_name"
partial="$backups/.corvane-$backup_name.new"
run /bin/mkdir -p "$backups" || fail "cannot make $backups_path; nothing was changed"
[ -d "$backups" ] && [ ! -h "$backups" ] && [ ! -e "$partial" ] ||
  fail "$backups_path is not a plain folder; nothing was changed"
run /bin/cp -p "$live" "$partial" || fail "cannot keep a backup; nothing was changed"
run /bin/mv -f "$partial" "$backup" || fail "cannot keep a backup; nothing was changed"
cmp -s "$backup" "$live" || fail "the backup $backups_path/$backup_name does not hold the store; nothing was changed"

restore() {
  run /bin/cp -p "$backup" "$staged" && cmp -s "$backup" "$staged" &&
    run /bin/mv -f "$staged" "$live" && cmp -s "$backup" "$live"
}

# The install: chown, mv beside the store, mv over it; each step checked.
run /usr/sbin/chown root "$copy" || fail "nothing was changed"
run /bin/mv -f "$copy" "$staged" || fail "nothing was changed"
if ! cmp -s "$staged" "$expected"; then
  rm -f "$staged"
  fail "the repaired store did not arrive beside the live one intact; nothing was changed"
fi
if [ "`checksum "$live"`" != "$CAPTURED_CHECKSUM" ]; then
  rm -f "$staged"
  fail "another program rewrote the network settings meanwhile; nothing was changed"
fi
if ! run /bin/mv -f "$staged" "$live" || ! cmp -s "$live" "$expected"; then
  if cmp -s "$live" "$backup"; then
    fail "the store could not be replaced; nothing was changed"
  elif restore; then
    fail "the repaired store was not installed intact; the previous store was put back"
  else
    fail "the previous store could not be put back; it is kept at $backups_path/$backup_name"
  fi
fi
echo "$backups_path/$backup_name" > "$kit/applied-backup.txt" ||
  echo "$script: the backup is $backups_path/$backup_name (undo.sh needs this path in applied-backup.txt)" >&2
echo "Installed the repaired network settings; the previous ones are kept at $backups_path/$backup_name"

# Switch to the location, make name lookup reload, wait for the interfaces.
run /usr/sbin/scselect "$SET_KEY" >/dev/null || true
pid=`"$root/bin/cat" "$root/var/run/lookupd.pid" 2>/dev/null | awk 'NF { print $1; exit }'`
case "$pid" in
  ''|*[!0-9]*|0|1) ;;
  *) run /bin/kill -HUP "$pid" || true ;;
esac
run /usr/sbin/ipconfigd waitall || true
echo "Done. To go back: sudo sh undo.sh"
)SH";

constexpr const char* kUndoBody = R"SH(
[ -s "$kit/applied-backup.txt" ] || fail "apply.sh has not installed this kit here; nothing to undo"
backup_path=`sed -n 1p "$kit/applied-backup.txt"`
backup="$root$backup_path"
[ -f "$backup" ] || fail "the backup $backup_path is missing; nothing was changed"
run /bin/cp -p "$backup" "$staged" || fail "nothing was changed"
if ! cmp -s "$backup" "$staged"; then
  rm -f "$staged"
  fail "the copy of the backup is not the backup; nothing was changed"
fi
run /bin/mv -f "$staged" "$live" || fail "the previous store could not be put back; it is kept at $backup_path"
cmp -s "$backup" "$live" || fail "the store is not the backup; it is kept at $backup_path"
echo "Put back the network settings kept at $backup_path"
key=`sed -n '/<key>CurrentSet<\/key>/{n;s/.*<string>\/Sets\/\(.*\)<\/string>.*/\1/p;}' "$live" | sed -n 1p`
if [ -n "$key" ]; then
  run /usr/sbin/scselect "$key" >/dev/null || true
fi
exit 0
)SH";

std::string header(const std::string& name, const std::string& purpose, const KitValues& values) {
  return "#!/bin/sh\n# " + name + ": " + purpose + "\n# Corvane fix kit for the capture of " + values.capture +
         ".\n# Run it on that Mac: sudo sh " + name + "\n\nscript=" + name + "\nSTORE=" + shellQuoted(values.store) +
         "\nSET_KEY=" + shellQuoted(values.setKey) + "\nCAPTURED_CHECKSUM=" + shellQuoted(values.checksum) +
         "\nSECRETS_FILE=" + shellQuoted(values.secretsFile) + "\n";
}

}  // namespace

std::string applyScript(const KitValues& values) {
  return header("apply.sh", "installs the repaired network settings of this kit", values) + kPrelude + kApplyBody;
}

std::string undoScript(const KitValues& values) {
  return header("undo.sh", "puts back the network settings that apply.sh replaced", values) + kPrelude + kUndoBody;
}

}  // namespace corvane
