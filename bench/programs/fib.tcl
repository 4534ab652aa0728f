proc fibr {n} {
  if {$n < 2} {return $n}
  return [expr {[fibr [expr {$n - 1}]] + [fibr [expr {$n - 2}]]}]
}
puts [fibr 28]
