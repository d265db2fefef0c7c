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

# Keeps a copy of the live store in the backups folder, named as the repair
# names its backups ("-undo" as $1 for the store an undo replaces), and
# checks that it holds the store; sets backup and backup_name.
keep_backup() {
  stamp=`date -u +%Y%m%d-%H%M%S`
  base=`echo "$store_file" | sed 's/\.[^.]*$//'`
  extension=`echo "$store_file" | sed 's/.*\.//'`
  sequence=1
  while [ -e "$backups/$base-$stamp-$sequence$1.$extension" ]; do sequence=`expr $sequence + 1`; done
  backup_name="$base-$stamp-$sequence$1.$extension"
  backup="$backups/$backup_name"
  partial="$backups/.corvane-$backup_name.new"
  run /bin/mkdir -p "$backups" || fail "cannot make $backups_path; nothing was changed"
  [ -d "$backups" ] && [ ! -h "$backups" ] && [ ! -e "$partial" ] ||
    fail "$backups_path is not a plain folder; nothing was changed"
  run /bin/cp -p "$live" "$partial" || fail "cannot keep a backup; nothing was changed"
  run /bin/mv -f "$partial" "$backup" || fail "cannot keep a backup; nothing was changed"
  cmp -s "$backup" "$live" || fail "the backup $backups_path/$backup_name does not hold the store; nothing was changed"
}
)SH";

constexpr const char* kApplyBody = R"SH(
kit_store="$kit/store/$store_file"
[ -f "$kit_store" ] && [ "`checksum "$kit_store"`" = "$KIT_CHECKSUM" ] ||
  fail "the kit's store/$store_file is not the one this kit was made with (damaged or cut short); nothing was changed. Copy the kit again."
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

# The repaired store with this Mac's secrets put back: each
# <string>PLACEHOLDER</string> becomes the element the capture kept, byte
# for byte (the private file holds "PLACEHOLDER<TAB>TYPE<TAB>LINES" and then
# the element's lines).
copy="$work/$store_file"
expected="$work/expected"
if grep '@@corvane-secret:' "$kit_store" >/dev/null 2>&1; then
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
      if (split($0, field, "\t") != 3 || field[3] !~ /^[0-9]+$/ || field[3] + 0 < 1) { broken = 1; next }
      key = field[1]
      want = field[3] + 0
      got = 0
      next
    }
    {
      line = $0
      out = ""
      while ((i = index(line, "<string>@@corvane-secret:")) > 0) {
        rest = substr(line, i + 8)
        j = index(substr(rest, 3), "@@")
        if (j == 0 || substr(rest, j + 4, 9) != "</string>") break
        key = substr(rest, 1, j + 3)
        if (!(key in secret)) { missing = missing " " key; break }
        out = out substr(line, 1, i - 1) secret[key]
        line = substr(rest, j + 13)
      }
      print out line
    }
    END {
      if (broken || want > 0) exit 2
      if (missing != "") exit 3
    }' "$root$SECRETS_FILE" "$kit_store" > "$copy"
  case $? in
    0) ;;
    3) fail "the private file $SECRETS_FILE lacks some of the passwords this kit needs; nothing was changed. Run corvane-capture again." ;;
    *) fail "the private file $SECRETS_FILE cannot be read; nothing was changed. Run corvane-capture again." ;;
  esac
  if grep '@@corvane-secret:' "$copy" >/dev/null 2>&1; then
    fail "the private file $SECRETS_FILE does not belong to this capture; nothing was changed. Run corvane-capture again."
  fi
else
  cp "$kit_store" "$copy" || fail "cannot copy the repaired store; nothing was changed"
fi

# The result must read as a property list: plutil where the system has it,
# else a check of the elements' nesting, keys and texts.
if [ -x "$root/usr/bin/plutil" ]; then
  "$root/usr/bin/plutil" -lint "$copy" >/dev/null 2>&1 ||
    fail "the repaired store with the passwords put back is not a well-formed property list; nothing was changed"
else
  awk '
    function bad() { failed = 1; exit 1 }
    function element(t,   name, closing, empty) {
      if (t ~ /^<\?/ || t ~ /^<!DOCTYPE/) { if (depth || seen) bad(); return }
      if (t ~ /^<!/) bad()
      closing = t ~ /^<\//
      empty = t ~ /\/>$/
      name = t
      sub(/^<\/?/, "", name)
      sub(/\/?>$/, "", name)
      sub(/[ \t\r\n].*/, "", name)
      if (name !~ /^(plist|dict|array|key|string|data|date|integer|real|true|false)$/) bad()
      if (closing) {
        if (!depth || stack[depth] != name || (name == "dict" && wanted[depth])) bad()
        depth--
        leaf = 0
        return
      }
      if (leaf || (name == "plist" && (depth || seen)) || (name != "plist" && !seen)) bad()
      if (depth && stack[depth] == "dict") {
        if (name == "key") { if (wanted[depth]) bad(); wanted[depth] = 1 }
        else { if (!wanted[depth]) bad(); wanted[depth] = 0 }
      } else if (name == "key") bad()
      else if (name != "plist" && stack[depth] == "plist" && roots++) bad()
      if (name == "plist") seen = 1
      if (empty) return
      stack[++depth] = name
      wanted[depth] = 0
      leaf = name !~ /^(plist|dict|array)$/
    }
    {
      pend = pend $0 "\n"
      while (pend != "") {
        if (substr(pend, 1, 4) == "<!--") { e = index(pend, "-->"); if (!e) next; pend = substr(pend, e + 3); continue }
        if (substr(pend, 1, 9) == "<![CDATA[") {
          if (!leaf) bad()
          e = index(pend, "]]>"); if (!e) next; pend = substr(pend, e + 3); continue
        }
        if (substr(pend, 1, 1) == "<") { e = index(pend, ">"); if (!e) next; element(substr(pend, 1, e)); pend = substr(pend, e + 1); continue }
        e = index(pend, "<"); if (!e) next
        text = substr(pend, 1, e - 1)
        pend = substr(pend, e)
        if (!leaf && text !~ /^[ \t\r\n]*$/) bad()
        gsub(/&(lt|gt|amp|quot|apos|#[0-9]+|#x[0-9a-fA-F]+);/, "", text)
        if (index(text, "&")) bad()
      }
    }
    END { if (failed || depth || !seen || !roots || pend !~ /^[ \t\r\n]*$/) exit 1 }' "$copy" ||
    fail "the repaired store with the passwords put back is not a well-formed property list; nothing was changed"
fi
chmod 644 "$copy"
cp "$copy" "$expected" || fail "cannot copy the repaired store; nothing was changed"

# A backup of the live store, checked.
keep_backup ""

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
previous_path=`sed -n 1p "$kit/applied-backup.txt"`
previous="$root$previous_path"
[ -f "$previous" ] || fail "the backup $previous_path is missing; nothing was changed"
# The store undo replaces (perhaps changed since apply.sh) is kept too, as
# repair --undo keeps it.
if [ -f "$live" ]; then
  keep_backup -undo
  echo "Kept the network settings it replaces at $backups_path/$backup_name"
fi
run /bin/cp -p "$previous" "$staged" || fail "nothing was changed"
if ! cmp -s "$previous" "$staged"; then
  rm -f "$staged"
  fail "the copy of the backup is not the backup; nothing was changed"
fi
run /bin/mv -f "$staged" "$live" || fail "the previous store could not be put back; it is kept at $previous_path"
cmp -s "$previous" "$live" || fail "the store is not the backup; it is kept at $previous_path"
echo "Put back the network settings kept at $previous_path"
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
         "\nKIT_CHECKSUM=" + shellQuoted(values.kitChecksum) + "\nSECRETS_FILE=" + shellQuoted(values.secretsFile) +
         "\n";
}

}  // namespace

std::string applyScript(const KitValues& values) {
  return header("apply.sh", "installs the repaired network settings of this kit", values) + kPrelude + kApplyBody;
}

std::string undoScript(const KitValues& values) {
  return header("undo.sh", "puts back the network settings that apply.sh replaced", values) + kPrelude + kUndoBody;
}

}  // namespace corvane
