# Lists the extension instances of a TXA file (CR LF lines) the way varnok
# list does: row, extension, procedure, template, first and last line.
# The awk baseline of bench/txa_bench.sh.
BEGIN { RS = "\r\n"; proc = ""; open = 0; pend = ""; row = 0 }
pend == "P" { if (substr($0, 1, 5) == "NAME ") proc = substr($0, 6, 64); pend = "" }
pend == "A" {
  pend = ""
  if (substr($0, 1, 5) == "NAME ") {
    sp = index(substr($0, 6), " ")
    if (sp == 0) { tpl = substr($0, 6, 40); ext = "" } else { tpl = substr($0, 6, sp - 1); ext = substr($0, 6 + sp, 64) }
    open = 1; from = NR - 1
  }
}
substr($0, 1, 1) == "[" {
  if (substr($0, 1, 11) == "[PROCEDURE]") { pend = "P"; if (open) close_instance() }
  else if (substr($0, 1, 10) == "[ADDITION]") { if (open) close_instance(); pend = "A" }
  else {
    h = toupper($0); sub(/ +$/, "", h)
    if (h != "[PROMPTS]" && h != "[INSTANCE]" && h != "[FIELDPROMPT]" && open) close_instance()
  }
}
function close_instance() { open = 0; printf "%d\t%s\t%s\t%s\t%d\t%d\n", ++row, ext, proc, tpl, from, NR - 1 }
END { if (open) printf "%d\t%s\t%s\t%s\t%d\t%d\n", ++row, ext, proc, tpl, from, 0 }
