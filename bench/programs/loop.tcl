proc main {} {
  set i 0
  while {$i < 10000000} {incr i}
  return $i
}
puts [main]
