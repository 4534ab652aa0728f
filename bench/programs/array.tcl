proc main {} {
  set i 0
  while {$i < 1000000} {set a($i) $i; incr i}
  set i 0
  set sum 0
  while {$i < 1000000} {set sum [expr {$sum + $a($i)}]; incr i}
  return $sum
}
puts [main]
