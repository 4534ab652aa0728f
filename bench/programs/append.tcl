proc main {} {
  set s ""
  set i 0
  while {$i < 1000000} {append s x; incr i}
  return [string length $s]
}
puts [main]
