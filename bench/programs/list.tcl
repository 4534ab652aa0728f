proc main {} {
  set l {}
  set i 0
  while {$i < 1000000} {lappend l $i; incr i}
  set n 0
  foreach x $l {incr n}
  return $n
}
puts [main]
