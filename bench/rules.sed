# Twenty substitutions of the kind a rule-based Tavex-to-MXT rewriter makes, one regular
# expression per rule. bench/run.sh times this against the converter on the same script.
s/^|/\/\/|/
s/^e /dump /
s/^examine /dump /
s/^br\? /break /
s/^w\(atch\)\? /breaka /
s/^p\/%x \(.*\)$/printf "%x",\1/
s/^p\/%d \(.*\)$/printf "%d",\1/
s/^p \(.*\)$/printf "%i",\1/
s/^print \(.*\)$/printf "%i",@\1/
s/^let /cexpression /
s/^g$/go/
s/^go while \(.*\)$/gostep until(!(\1))/
s/^step while \(.*\)$/gostep until(!(\1))/
s/^step in$/stepinstr/
s/^step out$/stepoinstr/
s/\$vector_catch/@vector_catch/g
s/\([A-Za-z_]\):\([A-Za-z_]\)/\1\\\2/g
s/^load \([^ ]*\)\(.*\)$/load\/pd\/r  '\1;;\2'/
s/^alias \([^ ]*\) /alias \1 = /
s/ if \(.*\)$/,when:{\1}/
