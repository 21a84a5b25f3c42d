#!/usr/bin/env bash
# The sample's setup on a Windows of each of the sixteen languages the kit
# has tables for, under Wine (the user's language and code page come from
# the locale Wine starts in):
#
# 1. The setup opens in the user's language: the language page is titled in
#    it with that language's cell selected, and Next leads to the welcome
#    page whose title, buttons and texts are that language's.  Cancel asks,
#    in a message box, in that language whether to quit; Yes quits and the
#    failure page speaks the language too.
# 2. On an English Windows, picking Russian, then Japanese, then English on
#    the language page turns the open page into each of them (texts of
#    another code page than the system's).
#
# Every window is shot into BUILD_DIR/e2e-languages/shots/LANG-*.png.
#
#   languages.sh BUILD_DIR [--verbose]
set -euo pipefail
. "$(dirname "$0")/wine_env.sh"
work="$build/e2e-languages"
. "$(dirname "$0")/sample_env.sh"
tables="$source_dir/i18n/tables"
shots="$work/shots"
wizard=BaseFormContainer
box="$product Installation"  # the title of the setup's message boxes

# NAME  Unix locale  code page of its table  cell on the language page
languages=(
  "ChineseSimplified zh_CN CP936 0,0"  "Czech cs_CZ CP1250 1,0"
  "Danish da_DK CP1252 0,1"            "English en_US CP1252 1,1"
  "French fr_FR CP1252 0,2"            "German de_DE CP1252 1,2"
  "Greek el_GR CP1253 0,3"             "Hebrew he_IL CP1255 1,3"
  "Italian it_IT CP1252 0,4"           "Japanese ja_JP CP932 1,4"
  "Korean ko_KR CP949 0,5"             "Polish pl_PL CP1250 1,5"
  "Portugese pt_BR CP1252 0,6"         "Russian ru_RU CP1251 1,6"
  "Spanish es_ES CP1252 0,7"           "Vietnamese vi_VN CP1258 1,7")

# The text of id $2 in the table of language $1, in the table's code page.
text_of() { sed -n "s/^$2;\([^;]*\).*/\1/p" "$tables/qrvi$1.txt" | tr -d '\r' | head -1; }
# The window driver in the user's Windows (the texts it prints are in its
# code page, as the program's are).
qa() { env LC_ALL=$locale "$run" "$qvauto" "$@" 2>/dev/null | tr -d '\r'; }
page() { qa state $wizard Tabs | sed -n 's/^selected=//p'; }
wait_page() {
  local i
  for i in $(seq 1 150); do
    [ "$(page)" = "$1" ] && return 0
    kill -0 "$setup" 2>/dev/null || fail "the setup ended before the page $1 ($name)"
    sleep 0.2
  done
  fail "no page $1 ($name)"
}
# shows CONTROL ID: the control of the wizard reads the text of that id.
shows() {
  local want got i
  want=$(text_of "$name" "$2")
  for i in $(seq 1 25); do
    got=$(qa state $wizard "$1" | sed -n 's/^text=//p')
    [ "$got" = "$want" ] && return 0
    sleep 0.2
  done
  fail "$name: $1 reads \"$(iconv -f "$cp" -t UTF-8 <<<"$got")\", not \"$(iconv -f "$cp" -t UTF-8 <<<"$want")\""
}
# holds WINDOW ID: one of the window's texts is the text of that id (the
# message box shares its title with the main window: it is waited for).
holds() {
  local want i
  want=$(text_of "$name" "$2")
  for i in $(seq 1 50); do
    qa text "$1" | LC_ALL=C grep -qF -- "$want" && return 0
    sleep 0.2
  done
  fail "$name: no \"$(iconv -f "$cp" -t UTF-8 <<<"$want")\" in $1: $(qa text "$1" | iconv -f "$cp" -t UTF-8 -c)"
}
# titled WINDOW ID: the window's own title (drawn by the system, not by a
# control of the page) is the text of that id.
titled() {
  local want got
  want=$(text_of "$name" "$2")
  got=$(qa text "$1" | head -1)
  [ "$got" = "$want" ] || fail "$name: $1 is titled \"$(iconv -f "$cp" -t UTF-8 -c <<<"$got")\", not \"$(iconv -f "$cp" -t UTF-8 <<<"$want")\""
}
shot() { qa shot "$1" "$(winpath "$shots/$name-$2.png")" >/dev/null || fail "cannot shoot $2 ($name)"; }
start_setup() {
  env LC_ALL=$locale "$run" "$work/dist/setup.exe" </dev/null >>"$work/setup.log" 2>&1 &
  setup=$!
}
ended() {
  local i
  for i in $(seq 1 100); do kill -0 "$setup" 2>/dev/null || break; sleep 0.2; done
  kill -0 "$setup" 2>/dev/null && fail "the setup did not end ($name)"
  wait "$setup" || true
}

# A setup left by a failed step must not stand in front of the next tests.
end_left_setup() { if [ -n "${setup:-}" ] && kill -0 "$setup" 2>/dev/null; then kill "$setup" 2>/dev/null || true; fi; }
trap end_left_setup EXIT
rm -rf "$work"; mkdir -p "$work" "$shots"
bash "$source_dir/scripts/register-kit.sh" "$build" >/dev/null || fail "cannot register the kit directory"
clean_machine
build_sample_distribution

# --- 1. each language's Windows ------------------------------------------------------
for entry in "${languages[@]}"; do
  read -r name locale cp cell <<<"$entry"
  locale=$locale.UTF-8
  start_setup
  wait_page TSelectLanguageForm
  holds $wizard 62
  qa click $wizard ProceedBtn >/dev/null
  wait_page TWelcomeForm
  holds $wizard 9
  titled $wizard 9
  shows ProceedBtn 5
  shows CancelBtn 6
  holds $wizard 10
  sleep 0.3
  shot $wizard welcome
  qa press $wizard CancelBtn >/dev/null
  holds "$box" 105
  sleep 0.3
  shot "$box" message
  qa press "$box" Button#1 >/dev/null  # Yes, in the language of Windows
  wait_page TBadInstallForm
  holds $wizard 61
  qa click $wizard FinishBtn >/dev/null
  ended
  say "$name: $(text_of "$name" 9 | iconv -f "$cp" -t UTF-8) / $(text_of "$name" 5 | iconv -f "$cp" -t UTF-8)"
done

# --- 2. other code pages picked on an English Windows ---------------------------------
# The driver reads the texts as the system has them, in UTF-8.
qa_utf8() { env LC_ALL=en_US.UTF-8 QV_AUTO_UTF8=1 "$run" "$qvauto" "$@" 2>/dev/null | tr -d '\r'; }
name=English locale=en_US.UTF-8 cp=CP1252
start_setup
wait_page TSelectLanguageForm
for pick in "Russian CP1251 1,6" "Japanese CP932 1,4" "English CP1252 1,1"; do
  read -r lang lang_cp lang_cell <<<"$pick"
  qa select $wizard LanguageGrid "$lang_cell" >/dev/null
  want=$(text_of "$lang" 62 | iconv -f "$lang_cp" -t UTF-8)
  next=$(text_of "$lang" 5 | iconv -f "$lang_cp" -t UTF-8)
  for i in $(seq 1 25); do
    [ "$(qa_utf8 state $wizard ProceedBtn | sed -n 's/^text=//p')" = "$next" ] && break
    sleep 0.2
  done
  got=$(qa_utf8 state $wizard ProceedBtn | sed -n 's/^text=//p')
  [ "$got" = "$next" ] || fail "picking $lang on an English Windows: Next reads \"$got\", not \"$next\""
  got=$(qa_utf8 text $wizard | head -1)
  [ "$got" = "$want" ] || fail "picking $lang: the window is titled \"$got\", not \"$want\""
  sleep 0.3
  name=English-$lang shot $wizard picked
  say "English Windows, $lang picked: $want / $got"
done
qa press $wizard CancelBtn >/dev/null
holds "$box" 105
qa press "$box" Button#1 >/dev/null
wait_page TBadInstallForm
qa click $wizard FinishBtn >/dev/null
ended
say "== sixteen languages: shots in $shots"
echo "languages: 16 passed, 0 failed"
