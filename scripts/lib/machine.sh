# Sourced by the scripts: finds out once whether this machine executes 32-bit x86 programs, and
# so which Windows builds run here under Wine. Some machines cannot (an i386 program fails
# with "Exec format error"), and there Debian's 32-bit Wine never starts, so only the 64-bit
# build can run. The answer is exported, so scripts started from a script do not ask again:
#   BRISOMEL_RUNS_32BIT=1   32-bit Wine runs: win32 and win64 programs both run
#   BRISOMEL_RUNS_32BIT=0   only win64 programs run; BRISOMEL_NO_32BIT_WHY says why
# BRISOMEL_NO_32BIT=1 makes a machine that can run 32-bit code behave as one that cannot, so
# that the 64-bit fallback is tested anywhere.

# Writes a minimal static i386 Linux program that exits with status 42 (ELF header, one
# loadable segment, then: mov eax,1; mov ebx,42; int 0x80).
brisomel_write_elf32() {
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'          >"$1"
  printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' >>"$1"
  printf '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00' >>"$1"
  printf '\x00\x00\x00\x00'                                                 >>"$1"
  printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' >>"$1"
  printf '\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' >>"$1"
  printf '\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80'                 >>"$1"
  chmod +x "$1"
}

# Sets and exports BRISOMEL_RUNS_32BIT and prints one line saying what runs here.
brisomel_machine_check() {
  if [ -n "${BRISOMEL_RUNS_32BIT:-}" ]; then return 0; fi
  local why=""
  if [ "${BRISOMEL_NO_32BIT:-0}" = 1 ]; then
    BRISOMEL_RUNS_32BIT=0
    why="BRISOMEL_NO_32BIT=1 is set"
  else
    local dir probe status
    dir=$(mktemp -d "${BRISOMEL_ROOT:-.}/build/.machine-check.XXXXXX" 2>/dev/null || mktemp -d)
    probe="$dir/elf32"
    brisomel_write_elf32 "$probe"
    status=0
    "$probe" 2>/dev/null || status=$?
    rm -rf "$dir"
    if [ "$status" != 42 ]; then
      BRISOMEL_RUNS_32BIT=0
      why="this machine does not execute 32-bit x86 programs"
    elif ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
      BRISOMEL_RUNS_32BIT=0
      why="32-bit Wine (wine32:i386) does not start here"
    else
      BRISOMEL_RUNS_32BIT=1
    fi
  fi
  BRISOMEL_NO_32BIT_WHY=$why
  export BRISOMEL_RUNS_32BIT BRISOMEL_NO_32BIT_WHY
  if [ "$BRISOMEL_RUNS_32BIT" = 1 ]; then
    echo "machine: runs 32-bit and 64-bit code: the win32 and win64 Windows builds both run here" >&2
  else
    echo "machine: $why: only the win64 Windows build runs here" >&2
  fi
}
