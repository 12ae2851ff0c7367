<?xml version="1.0" encoding="UTF-8"?>
<!-- Korvex_InstalledSoftware: links the host to each installed package, by
     reference to both instances; every key value goes through
     escape-key-value. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:include href="objectpath.xsl"/>
  <xsl:output method="text" encoding="UTF-8"/>

  <xsl:variable name="inventory" select="/QRVCIM/Inventory"/>
  <xsl:variable name="host"
      select="($inventory/System/@host | ($inventory/Hardware/node | $inventory/Hardware/list/node)[1]/@id)[1]"/>

  <xsl:template match="/">
    <xsl:if test="$host">
      <xsl:apply-templates select="$inventory/Packages/Package"/>
    </xsl:if>
  </xsl:template>

  <xsl:template match="Package">
    <xsl:text>instance of Korvex_InstalledSoftware&#10;{&#10;</xsl:text>
    <xsl:text>System = "Korvex_ComputerSystem.Name="</xsl:text>
    <xsl:call-template name="escape-key-value">
      <xsl:with-param name="value" select="$host"/>
    </xsl:call-template>
    <xsl:text>"";&#10;</xsl:text>
    <xsl:text>Software = "Korvex_Software.Name="</xsl:text>
    <xsl:call-template name="escape-key-value">
      <xsl:with-param name="value" select="@name"/>
    </xsl:call-template>
    <xsl:text>",Architecture="</xsl:text>
    <xsl:call-template name="escape-key-value">
      <xsl:with-param name="value" select="@architecture"/>
    </xsl:call-template>
    <xsl:text>"";&#10;</xsl:text>
    <xsl:text>};&#10;</xsl:text>
  </xsl:template>
</xsl:stylesheet>
