# String and format work: formatting, case, ranges, searches and lengths.
proc main {} {
  set n 0
  set i 0
  while {$i < 200000} {
    set s [format "%05d:%s" $i abc]
    set u [string toupper $s]
    set r [string range $u 2 6]
    if {[string index $u 5] eq ":"} {incr n [string length $r]}
    append t [string index $u 0]
    incr i
  }
  return "$n [string length $t]"
}
puts [main]
