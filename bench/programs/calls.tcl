# Procedure calls with several arguments and default values.
proc mix {a b {c 3} {d 4}} {
  return [expr {$a * $b + ($c - $d)}]
}
proc main {} {
  set s 0
  set i 0
  while {$i < 200000} {
    set s [expr {$s + [mix $i 2]}]
    set s [expr {$s + [mix 1 $i 5 6]}]
    incr i
  }
  return $s
}
puts [main]
